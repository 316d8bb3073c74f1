#include "DialogAnswerer.h"

namespace {

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<Search*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  if (process != search.process || std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
  search.found = window;
  return FALSE;
}

std::string WindowText(HWND window) {
  char text[4096] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The longest static text of the dialog: the message of a message box.
std::string MessageText(HWND dialog) {
  std::string longest;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char className[16] = "";
    GetClassNameA(child, className, sizeof className);
    if (std::string(className) != "Static") continue;
    const std::string text = WindowText(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

}  // namespace

DialogAnswerer::DialogAnswerer(std::vector<int> buttonIds, DWORD timeoutMs)
    : buttons_(std::move(buttonIds)), thread_([this, timeoutMs] { Run(timeoutMs); }) {}

DialogAnswerer::~DialogAnswerer() { thread_.join(); }

void DialogAnswerer::Run(DWORD timeoutMs) {
  HWND last = nullptr;
  const DWORD start = GetTickCount();
  while (answered_ < buttons_.size() && GetTickCount() - start < timeoutMs) {
    Search search{GetCurrentProcessId(), nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    // The dialog answered last may still be on its way out.
    if (search.found && !(search.found == last && IsWindow(last))) {
      titles_.push_back(WindowText(search.found));
      texts_.push_back(MessageText(search.found));
      PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(buttons_[answered_], BN_CLICKED), 0);
      last = search.found;
      ++answered_;
    }
    Sleep(20);
  }
}
