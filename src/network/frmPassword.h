// Asks for the user name and password of a network share that cannot be
// opened, and connects to the share with them. The password is held only for
// the connection call: it is never stored, not even in this process.
#pragma once
#include <string>

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

 private:
  DWORD ConnectWithTypedPassword();
  void TryAgain(const std::wstring& why);
};
