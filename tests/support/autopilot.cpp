// Walks the wizard through its road as a user would, for the demo without a
// display: `autopilot master <month>` answers the master set-up's forms and
// ticks the month given (0: none); `autopilot slave` browses the demo
// network to the master's share and confirms it; `autopilot slave
// --no-browsing`, on the office where browsing finds nothing, types the
// master's share, connects it with its password and confirms it. It prints
// a line when it reaches each window or step and waits a moment, so that
// the demo can take a picture of it.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "WizardDriver.h"

namespace {

constexpr DWORD kPauseMs = 1500;

constexpr const char* kMasterShare = "\\\\MASTER\\KORVELL";
constexpr const char* kMasterPassword = "holiday";  // demo/office-network-unlisted.txt

// Tells the demo that a step was reached, or ends the run when it was not.
void Show(const char* what, bool reached) {
  std::printf("%s %s\n", reached ? "at" : "missing", what);
  std::fflush(stdout);
  if (!reached) std::exit(1);
  Sleep(kPauseMs);
}

HWND Reach(const char* what, const driver::WindowTest& test) {
  HWND window = driver::WaitForWindow(0, test, 60000);
  Show(what, window);
  return window;
}

// The instruction as the user meets it: with Explorer opened beside it, or
// alone once the wizard has given up waiting for Explorer.
HWND ReachSharingInstruction() {
  HWND instruction = driver::WaitForWindow(0, driver::IsSharingInstruction, 60000);
  if (instruction) driver::WaitUntil([&] { return driver::ExplorerBeside(instruction); }, 15000);
  Show("sharing-instruction", instruction);
  return instruction;
}

void Master(int month) {
  driver::ClickButton(ReachSharingInstruction(), "O.K.");
  Reach("progress", driver::IsProgressWindow);
  HWND startMonth = Reach("start-month", driver::IsStartMonth);
  if (month > 0) {
    driver::ClickMonth(startMonth, month);
    Sleep(300);
    Reach("start-month-ticked", driver::IsStartMonth);
  }
  driver::ClickButton(startMonth, "O.K.");
}

void Slave() {
  PostMessageA(Reach("slave-notice", driver::IsMessageBox), WM_COMMAND, IDOK, 0);
  HWND selector = Reach("network-selector", driver::IsNetworkSelector);
  driver::ExpandNode(selector, 'O');  // Office Network
  driver::ExpandNode(selector, 'Q');  // QUILLON
  driver::ExpandNode(selector, 'M');  // \\MASTER
  driver::SelectNode(selector, 'K');  // \\MASTER\KORVELL
  Reach("master-share-selected", driver::IsNetworkSelector);
  driver::ClickButton(selector, "&Confirm");
  PostMessageA(Reach("confirmation", driver::IsMessageBox), WM_COMMAND, IDYES, 0);
}

void SlaveWithoutBrowsing() {
  PostMessageA(Reach("slave-notice", driver::IsMessageBox), WM_COMMAND, IDOK, 0);
  HWND selector = Reach("network-selector", driver::IsNetworkSelector);
  driver::ExpandNode(selector, 'O');  // Office Network
  HWND tree = driver::FindChild(selector, "SysTreeView32");
  Show("nothing-browsed", !TreeView_GetChild(tree, TreeView_GetSelection(tree)));
  HWND path = driver::FindByLabel(selector, "Or type the master folder", "Edit");
  Show("typed-path", path && driver::TypeText(path, kMasterShare));
  driver::PressKey(path, VK_RETURN);
  HWND password = driver::FindChild(selector, "Button", "&Password");
  Show("protected-share", password && driver::WaitForEnabled(password));
  driver::Click(password);
  HWND prompt = Reach("password-prompt", driver::IsPasswordPrompt);
  Show("password-typed", driver::TypeText(driver::FindByLabel(prompt, "Password:", "Edit"), kMasterPassword));
  driver::ClickButton(prompt, "OK");
  HWND confirm = driver::FindChild(selector, "Button", "&Confirm");
  Show("connected", driver::WaitForEnabled(confirm));
  driver::Click(confirm);
  PostMessageA(Reach("confirm-question", driver::IsMessageBox), WM_COMMAND, IDYES, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string road = argc > 1 ? argv[1] : "";
  if (road == "master") {
    Master(argc > 2 ? std::atoi(argv[2]) : 0);
  } else if (road == "slave") {
    (argc > 2 && std::string(argv[2]) == "--no-browsing" ? SlaveWithoutBrowsing : Slave)();
  } else {
    std::fprintf(stderr, "usage: autopilot master <month 0-12> | slave [--no-browsing]\n");
    return 2;
  }
  std::printf("done\n");
  return 0;
}
