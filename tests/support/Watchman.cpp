#include "Watchman.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "WizardDriver.h"

namespace {

constexpr DWORD kBoxPatienceMs = 15000;   // longer than any test leaves a box open before it answers it
constexpr DWORD kTestPatienceMs = 45000;  // twice the longest test, where the processor is emulated

class RunningTest : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo& test) override {
    const std::lock_guard lock(mutex_);
    name_ = std::string(test.test_suite_name()) + "." + test.name();
    since_ = GetTickCount();
  }
  void OnTestEnd(const testing::TestInfo&) override {
    const std::lock_guard lock(mutex_);
    name_.clear();
  }
  // The test running for longer than the patience allows; empty when none.
  std::string Overdue() const {
    const std::lock_guard lock(mutex_);
    return !name_.empty() && GetTickCount() - since_ > kTestPatienceMs ? name_ : std::string();
  }

 private:
  mutable std::mutex mutex_;
  std::string name_;
  DWORD since_ = 0;
};

// Fails the running test with what the box says, and answers it as Escape
// would, else with No or O.K., so that the test goes on to its end.
void Answer(HWND box) {
  ADD_FAILURE() << "nobody answered the message box \"" << driver::Text(box) << "\" within " << kBoxPatienceMs / 1000
                << " s: " << driver::MessageText(box);
  for (int button : {IDCANCEL, IDNO, IDOK})
    if (GetDlgItem(box, button)) {
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      return;
    }
}

[[noreturn]] void Watch(const RunningTest* running) {
  std::map<HWND, DWORD> since;  // each box shown, from when
  std::set<HWND> answered;
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
      if (GetTickCount() - from > kBoxPatienceMs && answered.insert(box).second) Answer(box);
    since = std::move(shown);
    if (const std::string test = running->Overdue(); !test.empty()) {
      std::fflush(stdout);
      std::fprintf(stderr,
                   "\n%s has run for %lu s, longer than any test takes: it waits for what does not come. "
                   "Windows shown: %s\n",
                   test.c_str(), kTestPatienceMs / 1000, driver::ShownWindows(GetCurrentProcessId()).c_str());
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
}

}  // namespace

void WatchTheTests() {
  auto* running = new RunningTest;  // the listeners own it
  testing::UnitTest::GetInstance()->listeners().Append(running);
  std::thread(Watch, running).detach();
}
