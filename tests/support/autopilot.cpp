// Walks the wizard through its road as a user would, for the demo without a
// display: `autopilot master <month>` answers the master set-up's forms and
// ticks the month given (0: none); `autopilot slave` browses the demo
// network to the master's share and confirms it. It prints a line when it reaches each
// window and waits a moment, so that the demo can take a picture of it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "WizardDriver.h"

namespace {

constexpr DWORD kPauseMs = 1500;

HWND Reach(const char* what, const driver::WindowTest& test) {
  HWND window = driver::WaitForWindow(0, test, 60000);
  std::printf("%s %s\n", window ? "at" : "missing", what);
  std::fflush(stdout);
  if (!window) std::exit(1);
  Sleep(kPauseMs);
  return window;
}

int Master(int month) {
  driver::ClickButton(Reach("sharing-instruction", driver::IsSharingInstruction), "O.K.");
  Reach("progress", driver::IsProgressWindow);
  HWND startMonth = Reach("start-month", driver::IsStartMonth);
  if (month > 0) {
    driver::ClickMonth(startMonth, month);
    Sleep(300);
    Reach("start-month-ticked", driver::IsStartMonth);
  }
  driver::ClickButton(startMonth, "O.K.");
  std::printf("done\n");
  return 0;
}

int Slave() {
  PostMessageA(Reach("slave-notice", driver::IsMessageBox), WM_COMMAND, IDOK, 0);
  HWND selector = Reach("network-selector", driver::IsNetworkSelector);
  driver::ExpandNode(selector, 'O');  // Office Network
  driver::ExpandNode(selector, 'Q');  // QUILLON
  driver::ExpandNode(selector, 'M');  // \\MASTER
  driver::SelectNode(selector, 'K');  // \\MASTER\KORVELL
  Reach("master-share-selected", driver::IsNetworkSelector);
  driver::ClickButton(selector, "&Confirm");
  PostMessageA(Reach("confirmation", driver::IsMessageBox), WM_COMMAND, IDYES, 0);
  std::printf("done\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string road = argc > 1 ? argv[1] : "";
  if (road == "master") return Master(argc > 2 ? std::atoi(argv[2]) : 0);
  if (road == "slave") return Slave();
  std::fprintf(stderr, "usage: autopilot master <month 0-12> | slave\n");
  return 2;
}
