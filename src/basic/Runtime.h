// The few services of the original's language runtime that every module uses.
#pragma once
#include <windows.h>

#include <string_view>

namespace basic {

// Lets the user interface process its pending window messages.
void DoEvents();

// Tells when a given time has passed since it last said so: long loops use
// it to repaint and process messages often enough for the user, but not
// after every step.
class Pacer {
 public:
  explicit Pacer(double intervalMs);
  bool Due();

 private:
  long long interval_;
  long long last_;
};

// Ends the program at once: no further code of the caller runs.
[[noreturn]] void End();

// The one way the program shows a message box; answers as MessageBoxA does
// (IDOK, IDYES, ...).
int MsgBox(std::wstring_view prompt, UINT style, std::wstring_view title, HWND owner = nullptr);

}  // namespace basic
