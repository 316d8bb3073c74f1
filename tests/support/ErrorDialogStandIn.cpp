#include "ErrorDialogStandIn.h"

#include <algorithm>
#include <map>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "WizardDriver.h"
#include "basic/Text.h"

namespace {
ErrorDialogStandIn* g_current = nullptr;

void FailTheTest() {
  ADD_FAILURE() << "unexpected error:\n" << basic::ToAnsi(vbwMessageString);
  vbwRetCode = 6;
}

// Longer than any test leaves a message box open before it answers it.
constexpr DWORD kPatienceMs = 15000;

// Fails the running test with what the box says, and answers it as Escape
// would, else with No or O.K., so that the test goes on to its end.
void Close(HWND box) {
  ADD_FAILURE() << "nobody answered the message box \"" << driver::Text(box) << "\" within " << kPatienceMs / 1000
                << " s: " << driver::MessageText(box);
  for (int button : {IDCANCEL, IDNO, IDOK})
    if (GetDlgItem(box, button)) {
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      return;
    }
}

// Watches this process's message boxes while the tests run.
[[noreturn]] void CloseUnansweredBoxes() {
  std::map<HWND, DWORD> since;  // each box shown, from when
  std::set<HWND> closed;
  for (;; Sleep(250)) {
    std::map<HWND, DWORD> shown;
    driver::WaitForWindow(
        GetCurrentProcessId(),
        [&](HWND box) {
          if (driver::IsMessageBox(box)) shown[box] = since.contains(box) ? since[box] : GetTickCount();
          return false;
        },
        0);
    for (const auto& [box, from] : shown)
      if (GetTickCount() - from > kPatienceMs && closed.insert(box).second) Close(box);
    since = std::move(shown);
  }
}
}  // namespace

void FailOnUnexpectedErrors() {
  vbwShowErrorDialog = &FailTheTest;
  std::thread(CloseUnansweredBoxes).detach();
}


ErrorDialogStandIn::ErrorDialogStandIn(std::vector<int32_t> answers)
    : answers_(std::move(answers)), previous_(vbwShowErrorDialog), outer_(g_current) {
  g_current = this;
  vbwShowErrorDialog = &ErrorDialogStandIn::Answer;
}

ErrorDialogStandIn::~ErrorDialogStandIn() {
  vbwShowErrorDialog = previous_;
  g_current = outer_;
}

void ErrorDialogStandIn::Answer() {
  auto& self = *g_current;
  const size_t i = std::min(self.shown_.size(), self.answers_.size() - 1);
  self.shown_.push_back({vbwMessageString, vbwSavedErr});
  vbwRetCode = self.answers_[i];
}
