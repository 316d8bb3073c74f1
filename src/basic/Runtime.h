// The few services of the original's language runtime that every module uses.
#pragma once
#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace basic {

// Lets the user interface process its pending window messages.
void DoEvents();

// Tells when a given time has passed since it was last restarted: long
// loops use it to repaint and process messages often enough for the user,
// but not after every step. The loop restarts it once it has repainted, so
// that a repaint slower than the interval (a slow display, a slow machine)
// still leaves the loop a whole interval of work before the next one.
class Pacer {
 public:
  explicit Pacer(double intervalMs);
  bool Due() const;
  void Restart();

 private:
  long long interval_;
  long long last_;
};

// Where Windows calls into the program (window procedures, timer ticks), an
// error that escaped its event procedure goes to the error layer, which sets
// this; module and procedure name where it escaped.
using EscapedErrorHandler = void (*)(const std::wstring& module, const std::wstring& procedure,
                                     std::exception_ptr failure);
void SetEscapedErrorHandler(EscapedErrorHandler handler);
// Called inside a last catch: reports the exception being handled, and never
// throws itself.
void ReportEscapedError(const std::wstring& module, const std::wstring& procedure) noexcept;

// Ends the program at once: no further code of the caller runs.
[[noreturn]] void End();
// The exit code that End gives the program: 0, unless the program ends after
// reporting a fault that nothing handled, which then gives the fault's code.
void SetEndCode(uint32_t code);
uint32_t EndCode();
// The exit code of a program that ends because something failed: whoever
// started it (a deployment tool, a script) must not take it for success.
inline constexpr uint32_t kFailureEndCode = 1;
// Ends the program as one that failed: with kFailureEndCode, unless an exit
// code was set already (a fault's, which says more).
[[noreturn]] void EndFailed();

// The one way the program shows a message box; answers as MessageBoxA does
// (IDOK, IDYES, ...).
int MsgBox(std::wstring_view prompt, UINT style, std::wstring_view title, HWND owner = nullptr);

}  // namespace basic
