#include "Watchman.h"

#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "WizardDriver.h"
#include "basic/Handles.h"

namespace {

// How long a test may run: some times the longest test of this program, as
// its ctest entry sets it; half a minute for a program run by hand.
const DWORD kPatienceMs = [] {
  char seconds[16] = "";
  return GetEnvironmentVariableA("KORVELL_TEST_PATIENCE", seconds, sizeof seconds) ? atoi(seconds) * 1000 : 30000;
}();

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

// Ends the programs that this one started, and theirs, naming the windows that
// each shows: one that hangs would hold the run's output until ctest's limit.
void EndStartedPrograms(DWORD parent) {
  const basic::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID != parent || entry.th32ProcessID == parent) continue;
    EndStartedPrograms(entry.th32ProcessID);
    std::fprintf(stderr, "Ended %s, showing: %s\n", entry.szExeFile, driver::ShownWindows(entry.th32ProcessID).c_str());
    if (const basic::UniqueHandle child{OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)})
      TerminateProcess(child.get(), 3);
  }
}

[[noreturn]] void Watch(const RunningTest* running) {
  for (std::string test;; Sleep(500)) {
    if ((test = running->Overdue()).empty()) continue;
    std::fflush(stdout);
    std::fprintf(stderr,
                 "\n%s has run for %lu s, longer than any test takes, waiting for what does not come. "
                 "Windows shown: %s\n",
                 test.c_str(), kPatienceMs / 1000, driver::ShownWindows(GetCurrentProcessId()).c_str());
    std::fflush(stderr);
    EndStartedPrograms(GetCurrentProcessId());
    TerminateProcess(GetCurrentProcess(), 3);
  }
}

}  // namespace

void WatchTheTests() {
  auto* running = new RunningTest;  // the listeners own it
  testing::UnitTest::GetInstance()->listeners().Append(running);
  std::thread(Watch, running).detach();
}
