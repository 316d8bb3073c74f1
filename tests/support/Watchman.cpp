#include "Watchman.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <mutex>
#include <thread>

#include "WizardDriver.h"

namespace {

constexpr DWORD kPatienceMs = 60000;  // three times the longest test, where the processor is emulated

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
  // The test that has run for longer than the patience allows; empty when none.
  std::string Overdue() const {
    const std::lock_guard lock(mutex_);
    return !name_.empty() && GetTickCount() - since_ > kPatienceMs ? name_ : std::string();
  }

 private:
  mutable std::mutex mutex_;
  std::string name_;
  DWORD since_ = 0;
};

[[noreturn]] void Watch(const RunningTest* running) {
  for (std::string test;; Sleep(500)) {
    if ((test = running->Overdue()).empty()) continue;
    std::fflush(stdout);
    std::fprintf(stderr,
                 "\n%s has run for %lu s, longer than any test takes, waiting for what does not come. "
                 "Windows shown: %s\n",
                 test.c_str(), kPatienceMs / 1000, driver::ShownWindows(GetCurrentProcessId()).c_str());
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
  }
}

}  // namespace

void WatchTheTests() {
  auto* running = new RunningTest;  // the listeners own it
  testing::UnitTest::GetInstance()->listeners().Append(running);
  std::thread(Watch, running).detach();
}
