// The central handler: the message, the saved error, the timers, and the
// message box that stands in for the error dialog for now.
#include <gtest/gtest.h>
#include <windows.h>

#include "basic/Err.h"
#include "basic/Timer.h"
#include "errorreport/vbwErrHandler.h"
#include "support/ErrorDialogStandIn.h"

namespace {

TEST(vbwErrHandler, ComposesTheMessageLineByLine) {
  EXPECT_EQ(vbwComposeMessage(-2147203503, L"Invalid KeyName value", L"Tamsel", L"CRegistry", L"RemoteName[Get]", 0),
            L"An unexpected error has occurred in this application: \r\n\r\n"
            L"Error -2147203503\r\n"
            L"Description: Invalid KeyName value\r\n"
            L"Project: Tamsel\r\n"
            L"Module: CRegistry\r\n"
            L"Procedure: RemoteName[Get]\r\n"
            L"Line: 0\r\n"
            L"Version: 1.0.0\r\n");
}

TEST(vbwErrHandler, SavesTheCurrentErrorAndAnswersTheDialogsChoice) {
  ErrorDialogStandIn user({4});
  SetLastError(ERROR_ACCESS_DENIED);
  basic::SetErr(basic::Error(76, L"Path not found", L"Tamsel32"));
  EXPECT_EQ(vbwErrHandler(76, L"Path not found", L"Tamsel", L"Global", L"Main", 12), 4);
  EXPECT_EQ(vbwSavedErr.Number, 76);
  EXPECT_EQ(vbwSavedErr.Description, L"Path not found");
  EXPECT_EQ(vbwSavedErr.Source, L"Tamsel32");
  EXPECT_EQ(vbwSavedErr.LastDllError, uint32_t(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(vbwfHasReported);
  EXPECT_NE(vbwMessageString.find(L"Line: 12\r\n"), std::wstring::npos);
}

TEST(vbwErrHandler, SwitchesTheEnabledTimersOffWhileTheDialogIsUp) {
  basic::Timer running(1000, [] {});
  basic::Timer stopped(1000, [] {});
  running.SetEnabled(true);
  bool offDuringDialog = false;
  static bool* observed = &offDuringDialog;
  static basic::Timer* watched = &running;
  const vbwErrorDialog previous = vbwShowErrorDialog;
  vbwShowErrorDialog = [] {
    *observed = !watched->Enabled();
    vbwRetCode = 4;
  };
  vbwErrHandler(5, L"x", L"Tamsel", L"M", L"P", 0);
  vbwShowErrorDialog = previous;

  EXPECT_TRUE(offDuringDialog);
  EXPECT_TRUE(running.Enabled());
  EXPECT_FALSE(stopped.Enabled());
  EXPECT_EQ(vbwTurnOffTimersString, L'\0' + std::to_wstring(running.Identity()) + L'\0');
}

TEST(vbwErrHandler, AReportRequestLeavesTheTimersOff) {
  basic::Timer running(1000, [] {});
  running.SetEnabled(true);
  ErrorDialogStandIn user({8});
  EXPECT_EQ(vbwErrHandler(5, L"x", L"Tamsel", L"M", L"P", 0), 8);
  EXPECT_FALSE(running.Enabled());
  vbwTurnOnTimers();
  EXPECT_TRUE(running.Enabled());
}

}  // namespace
