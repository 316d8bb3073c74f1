// Asks on the master machine in which month the holiday year begins and
// records it in the data folder as Offset.DAT.
#pragma once
#include <cstdint>

#include "../basic/CheckGrid.h"
#include "../basic/Form.h"

class start_month : public basic::Form {
 public:
  start_month();

  basic::CheckGrid vaSpread1;
  std::vector<ModuleVariable> ModuleVariables() const override;

  // The tick handler and O.K., as the grid and the button call them.
  void vaSpread1_ButtonClicked(int Col, int Row, bool ButtonDown);
  void cmdok_Click();

 protected:
  void Form_Load() override;
  void Click(const std::wstring& control) override;

 private:
  int16_t current_year_flag = 0;
  int16_t clik_on = 0;  // 1: a tick by the user is handled; 0: the handler is changing boxes itself
};

// The one-tick rule: the boxes that must be unticked when `clicked` was
// clicked, given which rows are ticked now (rows from 1).
std::vector<int> RowsToUntick(int clicked, int rows);
