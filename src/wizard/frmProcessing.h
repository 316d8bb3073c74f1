// The progress window of the year file's preparation: a picture and the bar
// that runs from 0 to one step per day character of the year file.
#pragma once
#include "../basic/Form.h"

// A progress bar whose value follows every step, while the control on the
// screen is repainted only when Refresh is called: each repaint is a round
// trip to the display, and the preparation makes 111,600 steps.
class ProgressBar {
 public:
  void Attach(HWND control, int min, int max);
  int Value() const { return value_; }
  void SetValue(int value) { value_ = value; }
  void Refresh();

 private:
  HWND control_ = nullptr;
  int value_ = 0;
};

class frmProcessing : public basic::Form {
 public:
  static constexpr int kMax = 111600;  // one step per day character of a year file
  frmProcessing();
  ProgressBar ProgressBar1;

 protected:
  void Form_Load() override;
  void Paint(HDC dc) override;
};
