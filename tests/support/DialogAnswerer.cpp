#include "DialogAnswerer.h"

#include "WizardDriver.h"

DialogAnswerer::DialogAnswerer(std::vector<int> buttonIds, DWORD timeoutMs)
    : buttons_(std::move(buttonIds)), thread_([this, timeoutMs] { Run(timeoutMs); }) {}

DialogAnswerer::~DialogAnswerer() { thread_.join(); }

void DialogAnswerer::Run(DWORD timeoutMs) {
  HWND last = nullptr;
  const DWORD start = GetTickCount();
  while (answered_ < buttons_.size() && GetTickCount() - start < timeoutMs) {
    // The dialog answered last may still be on its way out.
    HWND found = driver::WaitForWindow(
        GetCurrentProcessId(), [last](HWND w) { return driver::IsMessageBox(w) && w != last; }, 0);
    if (found) {
      titles_.push_back(driver::Text(found));
      texts_.push_back(driver::MessageText(found));
      PostMessageA(found, WM_COMMAND, MAKEWPARAM(buttons_[answered_], BN_CLICKED), 0);
      last = found;
      ++answered_;
    }
    Sleep(20);
  }
}
