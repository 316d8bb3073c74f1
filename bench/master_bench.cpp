// Figures of the master set-up under Wine: the preparation of the year file
// behind the progress bar, and the time from the wizard's start to its first
// window and to the Explorer window docked beside it. Prints them; asserts
// nothing.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Figures.h"
#include "basic/App.h"
#include "basic/Runtime.h"
#include "support/WizardDriver.h"
#include "wizard/Global.h"
#include "wizard/frmProcessing.h"

namespace fs = std::filesystem;
using bench::Figure;
using bench::Ms;
using bench::Now;

namespace {

// The longest time the user interface went without processing its messages.
double g_longestGapMs = 0;
LARGE_INTEGER g_lastPump;

LRESULT CALLBACK WatchPump(int code, WPARAM wParam, LPARAM lParam) {
  const LARGE_INTEGER now = Now();
  g_longestGapMs = std::max(g_longestGapMs, Ms(g_lastPump, now));
  g_lastPump = now;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Preparation(const fs::path& folder) {
  std::vector<double> times, gaps;
  int bar = 0;
  for (int run = 0; run < bench::kRuns; ++run) {
    frmProcessing progress;
    progress.Show();
    basic::DoEvents();
    const fs::path path = folder / "bench.DAT";
    fs::remove(path);
    YearFile file(path.wstring());
    // Each pass through the message queue shows itself by a message to this thread.
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchPump, nullptr, GetCurrentThreadId());
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    g_longestGapMs = 0;
    const LARGE_INTEGER start = g_lastPump = Now();
    PrepareYearFile(file, progress.ProgressBar1);
    times.push_back(Ms(start, Now()));
    UnhookWindowsHookEx(hook);
    gaps.push_back(g_longestGapMs);
    bar = progress.ProgressBar1.Value();
  }
  std::printf("year file preparation, %d steps (bar at %d): %s\n", frmProcessing::kMax, bar, Figure(times).c_str());
  std::printf("  longest time without messages: %s\n", Figure(gaps).c_str());
}

// How long a program that ended takes to leave the system quiet.
constexpr DWORD kSettleMs = 500;

// Closes what a run left open and lets the Explorer processes end, so that
// every run starts alike on a quiet system.
void CloseFolderWindows() {
  for (int i = 0; i < 250 && !driver::VisibleFolderWindows().empty(); ++i, Sleep(20))
    for (HWND window : driver::VisibleFolderWindows()) PostMessageA(window, WM_CLOSE, 0, 0);
  Sleep(kSettleMs);
}

HWND ShownWindow(DWORD process, const char* windowClass, bool (*test)(HWND) = nullptr) {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, windowClass, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process && IsWindowVisible(window) && (!test || test(window))) return window;
  }
  return nullptr;
}

HWND SharingInstruction(DWORD process) { return ShownWindow(process, "KorvellForm", driver::IsSharingInstruction); }

// Whether the window and its controls have drawn themselves: none has a part
// left to paint.
bool Painted(HWND window) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetUpdateRect(child, nullptr, FALSE)) return false;
  return !GetUpdateRect(window, nullptr, FALSE);
}

// Polls finer than the driver does: a figure is only as good as its clock.
template <class Test>
bool Await(Test test, DWORD timeoutMs) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(2))
    if (test()) return true;
  return false;
}

std::string ProgramHere(const char* name) { return "\"" + fs::path(basic::App::Path()).string() + "\\" + name + "\""; }

// The least time to a window like the instruction on the machine as it is
// now: a program that does nothing else.
double StartToOneWindow() {
  const LARGE_INTEGER start = Now();
  driver::Process process(ProgramHere("one_window.exe"), "");
  const bool shown = Await([&] { return ShownWindow(process.Id(), "Static") != nullptr; }, 30000);
  const double ms = Ms(start, Now());
  process.Kill();
  process.WaitForExit(5000);
  return shown ? ms : -1;
}

// Each run of the wizard is followed by one of the least program, each after
// what ran before was closed, so that both meet the machine alike: quiet,
// with no Explorer starting.
void StartToFirstWindow() {
  const std::string wizard = ProgramHere("Tamsel32.exe");
  std::vector<double> shown, painted, docked, least;
  for (int run = 0; run < bench::kRuns; ++run) {
    CloseFolderWindows();
    const LARGE_INTEGER start = Now();
    driver::Process process(wizard, "");
    HWND instruction = nullptr;
    if (Await([&] { return (instruction = SharingInstruction(process.Id())) != nullptr; }, 30000))
      shown.push_back(Ms(start, Now()));
    if (instruction && Await([&] { return Painted(instruction); }, 30000)) painted.push_back(Ms(start, Now()));
    if (instruction && Await([&] { return driver::ExplorerBeside(instruction); }, 30000))
      docked.push_back(Ms(start, Now()));
    process.Kill();
    process.WaitForExit(5000);
    CloseFolderWindows();
    if (const double ms = StartToOneWindow(); ms >= 0) least.push_back(ms);
  }
  CloseFolderWindows();
  std::printf("start to the sharing instruction: %s\n", Figure(shown).c_str());
  std::printf("  painted: %s\n", Figure(painted).c_str());
  std::printf("  a program that only opens such a window: %s\n", Figure(least).c_str());
  // The goal is a ratio, so that it holds on a fast machine and a slow one alike.
  if (!shown.empty() && !least.empty())
    std::printf("  start ratio, the wizard's median to the least program's: %.2f (goal: at most 1.10)\n",
                bench::Median(shown) / bench::Median(least));
  std::printf("start to Explorer docked beside it: %s\n", Figure(docked).c_str());
}

}  // namespace

int main() {
  const fs::path folder = fs::temp_directory_path() / "korvell-bench";
  fs::create_directories(folder);
  Preparation(folder);
  StartToFirstWindow();
  fs::remove_all(folder);
  return 0;
}
