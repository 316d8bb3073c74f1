// Drives the wizard from outside, as a user would: finds its windows, presses
// their buttons and ticks boxes. The end-to-end tests and the demo's
// autopilot both use it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Process.h"

namespace driver {

using WindowTest = std::function<bool(HWND)>;

// The first visible top-level window of the process (0: any process) that
// passes the test, waiting for it up to the time given; null when none came.
HWND WaitForWindow(DWORD processId, const WindowTest& test, DWORD timeoutMs = 20000);

// The process's visible top-level windows, for a failure's message: each
// window's class and caption, and a message box's text.
std::string ShownWindows(DWORD processId);

// Tests for the wizard's windows.
bool IsSharingInstruction(HWND window);
bool IsStartMonth(HWND window);
bool IsProgressWindow(HWND window);
bool IsMessageBox(HWND window);
bool IsNetworkSelector(HWND window);
bool IsErrorDialog(HWND window);
bool IsPasswordPrompt(HWND window);

// The classes of Explorer's folder windows.
inline constexpr const char* kFolderWindowClasses[] = {"ExplorerWClass", "CabinetWClass"};
// Explorer's folder windows that are shown, of either class.
std::vector<HWND> VisibleFolderWindows();
// Whether an Explorer window stands clear of the instruction, to its right.
bool ExplorerBeside(HWND instruction);

HWND FindChild(HWND parent, const std::string& className, const std::string& text = {});
// The control of the class that a label names: the nearest one on the
// label's line to its right, else the nearest one below it; null when none.
HWND FindByLabel(HWND parent, const std::string& label, const std::string& className);
std::string Text(HWND window);
// What an edit box holds, also while it is typed into.
std::string BoxText(HWND edit);
// The longest static text of a message box or dialog.
std::string MessageText(HWND dialog);

// Presses a button the way a click does.
void Click(HWND button);
// Presses the button of a window whose caption is the text given.
bool ClickButton(HWND window, const std::string& caption);
// Keys for a window, as the keyboard sends them.
void PressKey(HWND window, UINT virtualKey);
void TypeChar(HWND window, char c);
// Types into an edit box as a user does: a click into it at the end of its
// text gives it the focus, then a character a key. Returns once the box
// shows what was typed, or false after a limit.
bool TypeText(HWND edit, const std::string& text);
// Waits until the condition holds, up to the time given; whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000);
// Waits until the control is enabled (or disabled) as asked; whether it came.
bool WaitForEnabled(HWND control, bool enabled = true, DWORD timeoutMs = 20000);
// Selects the next node that begins with the letter in the tree view of a
// window, and expands it, as the user does with the keyboard; each returns
// once the tree has done so (or a message box came instead), or false after
// a limit.
bool SelectNode(HWND window, char letter);
bool ExpandNode(HWND window, char letter);
// How long the tree view takes typed letters as one search.
inline constexpr DWORD kTypeAheadPauseMs = 600;

// Ticks or unticks the box of a month (1 to 12) in the start-month grid.
void ClickMonth(HWND startMonth, int month);
// The screen's DPI as the system gives it, read apart from the code under test.
int ScreenDpi();

}  // namespace driver
