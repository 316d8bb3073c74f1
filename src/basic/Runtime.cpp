#include "Runtime.h"

#include "Form.h"
#include "Text.h"

namespace basic {

void DoEvents() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));  // leave it for the message loop that owns it
      return;
    }
    if (Form::RouteDialogMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

namespace {
long long Ticks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}
long long TicksPerMs() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart / 1000;
}
}  // namespace

Pacer::Pacer(double intervalMs) : interval_((long long)(intervalMs * double(TicksPerMs()))), last_(Ticks()) {}

bool Pacer::Due() const { return Ticks() - last_ >= interval_; }

void Pacer::Restart() { last_ = Ticks(); }

namespace {
EscapedErrorHandler g_escapedErrorHandler = nullptr;
}

void SetEscapedErrorHandler(EscapedErrorHandler handler) { g_escapedErrorHandler = handler; }

void ReportEscapedError(const std::wstring& module, const std::wstring& procedure) noexcept {
  try {
    if (g_escapedErrorHandler) g_escapedErrorHandler(module, procedure, std::current_exception());
  } catch (...) {
    // The error layer tells the user itself when it cannot show its dialog.
  }
}

namespace {
uint32_t g_endCode = 0;
}

void SetEndCode(uint32_t code) { g_endCode = code; }

uint32_t EndCode() { return g_endCode; }

void End() { ExitProcess(g_endCode); }

void EndFailed() {
  if (g_endCode == 0) g_endCode = kFailureEndCode;
  End();
}

int MsgBox(std::wstring_view prompt, UINT style, std::wstring_view title, HWND owner) {
  return MessageBoxA(owner, ToAnsi(prompt).c_str(), ToAnsi(title).c_str(), style);
}

}  // namespace basic
