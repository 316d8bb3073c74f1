// The few services of the original's language runtime that every module uses.
#pragma once
#include <windows.h>

#include <string_view>

namespace basic {

// Lets the user interface process its pending window messages.
void DoEvents();

// Ends the program at once: no further code of the caller runs.
[[noreturn]] void End();

// The one way the program shows a message box; answers as MessageBoxA does
// (IDOK, IDYES, ...).
int MsgBox(std::wstring_view prompt, UINT style, std::wstring_view title, HWND owner = nullptr);

}  // namespace basic
