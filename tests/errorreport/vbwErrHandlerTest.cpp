// The central handler: the message, the saved error, the timers, and the
// message box that stands in for the error dialog for now.
#include <gtest/gtest.h>
#include <windows.h>

#include "basic/Err.h"
#include "basic/Form.h"
#include "basic/Runtime.h"
#include "basic/Timer.h"
#include "errorreport/vbwCommon.h"
#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwTrap.h"
#include "support/DialogAnswerer.h"
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

// A form whose button's event procedure forgot its own trap.
class Unguarded : public basic::Form {
 public:
  Unguarded() : Form(kSpec, kControls) {}
  void Press() {
    HWND button = Control(L"cmdGo");
    SendMessageA(hWnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), LPARAM(button));
  }

 protected:
  void Click(const std::wstring&) override { basic::Raise(basic::errPathNotFound); }

 private:
  static constexpr basic::FormSpec kSpec{L"frmUnguarded", L"Unguarded", 3000, 1000};
  static constexpr basic::ControlSpec kControls[]{{basic::Kind::Button, L"cmdGo", 100, 100, 1200, 400, L"Go"}};
};

TEST(EscapedErrors, AnErrorThatEscapesAWindowProcedureOrATimerIsReported) {
  vbwInitialize();
  ErrorDialogStandIn user({4});  // a retry means nothing once the error has escaped
  Unguarded form;
  form.Load();
  form.Press();
  basic::Timer ticking(10, [] { basic::Raise(basic::errPermissionDenied); });
  ticking.SetEnabled(true);
  for (int i = 0; i < 200 && user.Errors().size() < 2; ++i) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    basic::DoEvents();
  }
  ticking.SetEnabled(false);
  ASSERT_GE(user.Errors().size(), 2u);
  EXPECT_NE(user.Errors()[0].message.find(L"Error 76\r\nDescription: Path not found\r\nProject: Tamsel\r\n"
                                          L"Module: frmUnguarded\r\nProcedure: WindowProc\r\n"),
            std::wstring::npos);
  EXPECT_NE(user.Errors()[1].message.find(L"Error 70\r\n"), std::wstring::npos);
  EXPECT_TRUE(form.IsLoaded());
}

TEST(EscapedErrors, WhenTheDialogCannotBeShownAPlainMessageSaysWhatFailed) {
  const vbwErrorDialog previous = std::exchange(vbwShowErrorDialog, [] { basic::Raise(basic::errOutOfMemory); });
  std::string ran;
  {
    DialogAnswerer user(IDOK);
    vbwTrap trap(L"TestModule", L"Save");
    trap(1, [&] { basic::Raise(basic::errDiskFull); });
    trap(2, [&] { ran += '2'; });
    ASSERT_TRUE(user.Answered());
    EXPECT_NE(user.Text().find("Error 61\r\nDescription: Disk full\r\n"), std::string::npos) << user.Text();
    EXPECT_NE(user.Text().find("Procedure: Save\r\n"), std::string::npos) << user.Text();
  }
  vbwShowErrorDialog = previous;
  EXPECT_EQ(ran, "");  // the procedure left
}

}  // namespace
