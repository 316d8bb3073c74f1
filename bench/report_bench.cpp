// Figure of the error report under Wine: from the user's report request to
// the error dialog shown again, with the variables, the version and system
// reports, the archive and the mail to a mail client that takes it at once.
// The median of several runs, with the fastest and the slowest; prints it,
// asserts nothing.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "Figures.h"
#include "basic/Err.h"
#include "errorreport/vbwCommon.h"
#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwTrap.h"
#include "registry/CRegistry.h"
#include "support/TestMailClient.h"

namespace {

LARGE_INTEGER g_requested, g_shownAgain;

// The user: asks for a report, and leaves the dialog shown after it.
void User() {
  if (!vbwfHasReported) {
    vbwRetCode = 8;
    QueryPerformanceCounter(&g_requested);
  } else {
    QueryPerformanceCounter(&g_shownAgain);
    vbwRetCode = 6;
  }
}

double RequestToDialogMs() {
  vbwTrap trap(L"Bench", L"Report");
  trap(1, [] { basic::Raise(basic::errPathNotFound); });
  return bench::Ms(g_requested, g_shownAgain);
}

}  // namespace

int main() {
  vbwInitialize();
  vbwShowErrorDialog = &User;
  TestMailClient mail;
  CRegistry registry;  // a class whose variables the report writes
  std::vector<double> times;
  for (int run = 0; run < bench::kRuns; ++run) times.push_back(RequestToDialogMs());
  std::printf("report request to the dialog shown again: %s\n", bench::Figure(times).c_str());
  return 0;
}
