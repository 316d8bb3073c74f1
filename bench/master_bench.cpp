// Figures of the master set-up under Wine: the preparation of the year file
// behind the progress bar, and the time from the wizard's start to its first
// window. Prints them; asserts nothing.
#include <windows.h>

#include <cstdio>
#include <filesystem>

#include "basic/App.h"
#include "basic/Runtime.h"
#include "support/WizardDriver.h"
#include "wizard/Global.h"
#include "wizard/frmProcessing.h"

namespace fs = std::filesystem;

namespace {

double Ms(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

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
  frmProcessing progress;
  progress.Show();
  basic::DoEvents();
  const fs::path path = folder / "bench.DAT";
  fs::remove(path);
  YearFile file(path.wstring());
  // Each pass through the message queue shows itself by a message to this thread.
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchPump, nullptr, GetCurrentThreadId());
  PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
  const LARGE_INTEGER start = g_lastPump = Now();
  PrepareYearFile(file, progress.ProgressBar1);
  const LARGE_INTEGER end = Now();
  UnhookWindowsHookEx(hook);
  std::printf("year file preparation: %.1f ms for %d steps (bar at %d), longest time without messages %.1f ms\n",
              Ms(start, end), frmProcessing::kMax, progress.ProgressBar1.Value(), g_longestGapMs);
}

void StartToFirstWindow() {
  const std::string wizard = "\"" + fs::path(basic::App::Path()).string() + "\\Tamsel32.exe\"";
  const LARGE_INTEGER start = Now();
  driver::Process process(wizard, "");
  HWND first = driver::WaitForWindow(process.Id(), driver::IsSharingInstruction, 30000);
  const LARGE_INTEGER shown = Now();
  process.Kill();
  process.WaitForExit(5000);
  if (first) std::printf("start to the sharing instruction: %.1f ms\n", Ms(start, shown));
  else std::printf("start to the sharing instruction: no window within 30 s\n");
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
