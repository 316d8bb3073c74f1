// The layout tests open the network selector too, so they run with the
// stand-in provider serving the selector tests' network.
// `test_layout --gallery` shows each window in turn instead, for the demo's
// pictures: it prints "at <window>" when one stands and waits a moment.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "basic/Runtime.h"
#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwFrmErrHandler.h"
#include "network/SelectorNetwork.h"
#include "network/frmNWCheck.h"
#include "network/frmPassword.h"
#include "support/ErrorDialogStandIn.h"
#include "support/FormsUnderTest.h"
#include "support/NetProviderSandbox.h"
#include "wizard/Continue.h"
#include "wizard/Global.h"
#include "wizard/frmProcessing.h"
#include "wizard/start_month.h"

namespace {

void Pose(basic::Form& form, const char* name) {
  form.Show();
  std::printf("at %s\n", name);
  std::fflush(stdout);
  for (const DWORD until = GetTickCount() + 1500; GetTickCount() < until; Sleep(20)) basic::DoEvents();
  form.Unload();
}

void ErrorDialog(int32_t number, bool reported, const char* name,
                 const std::wstring& description = L"Object variable or With block variable not set") {
  vbwMessageString = vbwComposeMessage(number, description, L"Tamsel", L"Global", L"Main", 12);
  vbwfHasReported = reported;
  vbwFrmErrHandler dialog;
  Pose(dialog, name);
}

int Gallery() {
  Continue sharing;
  Pose(sharing, "sharing-instruction");
  frmProcessing progress;
  Pose(progress, "progress");
  start_month month;
  Pose(month, "start-month");
  Pose(frmNWCheck::Instance(), "network-selector");
  networkdriveunc = L"\\\\MASTER\\Private";
  frmPassword prompt;
  Pose(prompt, "password-prompt");
  ErrorDialog(5, false, "error-dialog");
  ErrorDialog(5, true, "error-dialog-reported");
  ErrorDialog(76, false, "error-dialog-known");
  ErrorDialog(5, false, "error-dialog-long", kLongestDescription);
  std::printf("done\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool gallery = argc > 1 && std::strcmp(argv[1], "--gallery") == 0;
  testing::InitGoogleTest(&argc, argv);
  FailOnUnexpectedErrors();
  return RunWithNetProvider(kSelectorNetwork, [gallery] { return gallery ? Gallery() : RUN_ALL_TESTS(); });
}
