// The sharing instruction: stands at the top left corner of the screen,
// above every other window, beside the Explorer window on the planner's
// folder, until the user has shared that folder and presses O.K.
#pragma once
#include "../basic/Form.h"

class Continue : public basic::Form {
 public:
  Continue();

 protected:
  void Form_Load() override;
  void Click(const std::wstring& control) override;

 private:
  void Command1_Click();
};
