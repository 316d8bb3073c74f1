#include "WizardDriver.h"

#include <vector>

namespace driver {

Process::Process(const std::string& commandLine, const std::string& folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    handle_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

Process::~Process() {
  if (!handle_) return;
  // A program that a test leaves behind would hold the wizard's single-instance lock.
  if (WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(handle_, 1);
    WaitForSingleObject(handle_, 5000);
  }
  CloseHandle(handle_);
}

bool Process::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
  if (!handle_ || WaitForSingleObject(handle_, timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(handle_, exitCode);
  return true;
}

void Process::Kill() const {
  if (handle_) TerminateProcess(handle_, 1);
}

namespace {

struct Search {
  DWORD process;
  const WindowTest* test;
  HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<Search*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if ((search.process && process != search.process) || !IsWindowVisible(window) || !(*search.test)(window))
    return TRUE;
  search.found = window;
  return FALSE;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool IsForm(HWND window) { return ClassOf(window) == "KorvellForm"; }

}  // namespace

HWND WaitForWindow(DWORD processId, const WindowTest& test, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    Search search{processId, &test, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(25);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

std::string Text(HWND window) {
  std::string text(size_t(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(size_t(GetWindowTextA(window, text.data(), int(text.size()))));
  return text;
}

HWND FindChild(HWND parent, const std::string& className, const std::string& text) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (ClassOf(child) == className && (text.empty() || Text(child).starts_with(text))) return child;
  return nullptr;
}

bool IsSharingInstruction(HWND window) { return IsForm(window) && FindChild(window, "Static", "Make Sure"); }
bool IsStartMonth(HWND window) { return IsForm(window) && FindChild(window, "KorvellCheckGrid"); }
bool IsProgressWindow(HWND window) { return IsForm(window) && FindChild(window, "msctls_progress32"); }
bool IsMessageBox(HWND window) { return ClassOf(window) == "#32770"; }
bool IsErrorDialog(HWND window) { return IsForm(window) && FindChild(window, "Button", "Report &Error"); }
bool IsNetworkSelector(HWND window) { return IsForm(window) && FindChild(window, "SysTreeView32"); }

std::string MessageText(HWND dialog) {
  std::string longest;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != "Static") continue;
    const std::string text = Text(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

void Click(HWND button) {
  // As a click arrives: the button itself tells its parent.
  PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

bool ClickButton(HWND window, const std::string& caption) {
  HWND button = FindChild(window, "Button", caption);
  if (!button) return false;
  Click(button);
  return true;
}

void PressKey(HWND window, UINT virtualKey) {
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(window, WM_KEYUP, virtualKey, 1 | (1u << 30) | (1u << 31));
}

void TypeChar(HWND window, char c) { PostMessageA(window, WM_CHAR, WPARAM(uint8_t(c)), 1); }

void SelectNode(HWND window, char letter) {
  HWND tree = FindChild(window, "SysTreeView32");
  Sleep(600);  // a new search, not the continuation of the last one
  TypeChar(tree, letter);
  Sleep(300);
}

void ExpandNode(HWND window, char letter) {
  SelectNode(window, letter);
  PressKey(FindChild(window, "SysTreeView32"), VK_ADD);
  Sleep(300);
}

void ClickMonth(HWND startMonth, int month) {
  HWND grid = FindChild(startMonth, "KorvellCheckGrid");
  RECT client;
  GetClientRect(grid, &client);
  const int rowHeight = (client.bottom - client.top) / 13;  // the header and twelve months
  const int x = client.right - 10, y = month * rowHeight + rowHeight / 2;
  PostMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace driver
