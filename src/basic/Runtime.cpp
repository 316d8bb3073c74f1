#include "Runtime.h"

#include "Text.h"

namespace basic {

void DoEvents() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));  // leave it for the message loop that owns it
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void End() { ExitProcess(0); }

int MsgBox(std::wstring_view prompt, UINT style, std::wstring_view title, HWND owner) {
  return MessageBoxA(owner, ToAnsi(prompt).c_str(), ToAnsi(title).c_str(), style);
}

}  // namespace basic
