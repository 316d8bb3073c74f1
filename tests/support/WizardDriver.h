// Drives the wizard from outside, as a user would: finds its windows, presses
// their buttons and ticks boxes. The end-to-end tests and the demo's
// autopilot both use it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace driver {

// A started program; it is ended, if it still runs, when the object goes.
class Process {
 public:
  Process(const std::string& commandLine, const std::string& folder);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  DWORD Id() const { return id_; }
  // The exit code once the program has ended within the time; none otherwise.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
  void Kill() const;

 private:
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

using WindowTest = std::function<bool(HWND)>;

// The first visible top-level window of the process (0: any process) that
// passes the test, waiting for it up to the time given; null when none came.
HWND WaitForWindow(DWORD processId, const WindowTest& test, DWORD timeoutMs = 20000);

// Tests for the wizard's windows.
bool IsSharingInstruction(HWND window);
bool IsStartMonth(HWND window);
bool IsProgressWindow(HWND window);
bool IsMessageBox(HWND window);
bool IsNetworkSelector(HWND window);
bool IsErrorDialog(HWND window);

HWND FindChild(HWND parent, const std::string& className, const std::string& text = {});
std::string Text(HWND window);
// The longest static text of a message box or dialog.
std::string MessageText(HWND dialog);

// Presses a button the way a click does.
void Click(HWND button);
// Presses the button of a window whose caption is the text given.
bool ClickButton(HWND window, const std::string& caption);
// Keys for a window, as the keyboard sends them.
void PressKey(HWND window, UINT virtualKey);
void TypeChar(HWND window, char c);
// Selects the next node that begins with the letter in the tree view of a
// window, and expands it, as the user does with the keyboard.
void SelectNode(HWND window, char letter);
void ExpandNode(HWND window, char letter);

// Ticks or unticks the box of a month (1 to 12) in the start-month grid.
void ClickMonth(HWND startMonth, int month);

}  // namespace driver
