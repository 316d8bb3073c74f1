// Asks for the password of a network share that cannot be opened. The
// password stays in this process: it is kept in UserPassword and nowhere else.
#pragma once
#include "../basic/Form.h"

class frmPassword : public basic::Form {
 public:
  frmPassword();

  void cmdOk_Click();
  void cmdCancel_Click();

 protected:
  void Form_Load() override;
  void Click(const std::wstring& control) override;
  bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
