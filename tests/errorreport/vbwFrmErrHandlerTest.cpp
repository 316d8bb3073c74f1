// The error dialog with its real controls: each showing, the highlight, the
// keyboard, and the ways it ends.
#include <gtest/gtest.h>
#include <windows.h>

#include "basic/Runtime.h"
#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwFrmErrHandler.h"
#include "support/DialogAnswerer.h"
#include "support/FormsUnderTest.h"
#include "support/WizardDriver.h"

namespace {

class ErrorDialog : public ::testing::Test {
 protected:
  void Show(int32_t number, bool reported = false) { ShowErrorDialog(dialog, number, reported); }
  void TearDown() override {
    if (dialog.IsLoaded()) dialog.Unload();
  }
  std::wstring Text(const wchar_t* control) { return dialog.Text(control); }
  bool Visible(const wchar_t* control) { return dialog.Visible(control); }
  bool Topmost() { return GetWindowLongA(dialog.hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST; }
  int DefaultButton() { return LOWORD(SendMessageA(dialog.hWnd(), DM_GETDEFID, 0, 0)); }
  // The colour the text box is painted in, as the dialog gives it.
  COLORREF DescribeColour() {
    HWND box = dialog.Control(L"txtDescribe");
    HDC dc = GetDC(box);
    SendMessageA(dialog.hWnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box));
    const COLORREF colour = GetBkColor(dc);
    ReleaseDC(box, dc);
    return colour;
  }

  vbwFrmErrHandler dialog;
};

TEST(KnownErrors, AreFoundByTheNumberOnTheMessagesThirdLine) {
  EXPECT_EQ(MessageErrorNumber(vbwComposeMessage(3260, L"x", L"Tamsel", L"M", L"P", 0)), 3260);
  EXPECT_EQ(MessageErrorNumber(vbwComposeMessage(-2147417848, L"x", L"Tamsel", L"M", L"P", 0)), -2147417848);
  EXPECT_EQ(MessageErrorNumber(L"a\r\nb\r\nError twelve\r\n"), 0);
  EXPECT_EQ(MessageErrorNumber(L"one line"), 0);
  for (int32_t n : {7, 91, 3043, 65535})
    EXPECT_EQ(KnownErrorExplanation(n)->substr(0, 38), L"OBRIN has encountered a windows error.");
  for (int32_t n : {76, 525, 3024, 3044, 3050, 3159, 3343})
    EXPECT_EQ(KnownErrorExplanation(n)->substr(0, 18), L"There is  a proble");
  EXPECT_FALSE(KnownErrorExplanation(5));
  EXPECT_FALSE(KnownErrorExplanation(0));
}

TEST_F(ErrorDialog, AKnownErrorIsExplainedAndOnlyCloseIsOffered) {
  Show(3260);
  EXPECT_EQ(Text(L"lblReport"),
            L"The record you are editing is being edited by another user\r\n\r\n"
            L"Try again once other users have finished with this item");
  EXPECT_FALSE(Visible(L"txtDescribe"));
  EXPECT_FALSE(Visible(L"cmdSendMail"));
  EXPECT_TRUE(Visible(L"cmdAction(3)"));
  EXPECT_EQ(Text(L"cmdAction(3)"), L"Close");
  EXPECT_FALSE(Visible(L"cmdAction(4)"));
  EXPECT_FALSE(Visible(L"cmdAction(5)"));
  EXPECT_TRUE(Topmost());
  EXPECT_TRUE(GetWindow(dialog.hWnd(), GW_OWNER)) << "an owned window has no taskbar button";
  EXPECT_EQ(driver::Text(dialog.hWnd()), "Tamsel");
  EXPECT_EQ(Text(L"lblErrorString"), vbwMessageString);
}

TEST_F(ErrorDialog, TheRegistrationAndWordErrorsHaveTheirExplanations) {
  Show(-2147417848);
  EXPECT_EQ(Text(L"lblReport"),
            L"A file has not registered correctly \r\n\r\nplease contact Obrin Technical Support for advice.");
  dialog.Unload();
  for (int32_t word : {-2147417851, -2147417846}) {
    Show(word);
    EXPECT_EQ(Text(L"lblReport").substr(0, 40), L"Microsoft Word is not installed properly");
    dialog.Unload();
  }
}

TEST_F(ErrorDialog, AnUnknownErrorAsksForAReport) {
  Show(5);
  EXPECT_EQ(Text(L"lblReport").substr(0, 40), L"We are very sorry for this inconvenience");
  EXPECT_NE(Text(L"lblReport").find(L"above,and report it"), std::wstring::npos);
  EXPECT_EQ(Text(L"txtDescribe"), vbwFrmErrHandler::kPlaceholder);
  EXPECT_TRUE(Visible(L"cmdSendMail"));
  EXPECT_EQ(Text(L"cmdSendMail"), L"Report &Error");
  EXPECT_EQ(DefaultButton(), GetDlgCtrlID(dialog.Control(L"cmdSendMail")));
  EXPECT_EQ(Text(L"cmdAction(3)"), L"Close");
}

TEST_F(ErrorDialog, AfterTheReportItThanksAndOffersOnlyClose) {
  Show(5, true);
  EXPECT_EQ(Text(L"lblReport"), L"Thanks for having reported this error !\r\nPlease select a continuation below...");
  EXPECT_FALSE(dialog.Enabled(L"cmdSendMail"));
  EXPECT_FALSE(Visible(L"txtDescribe"));
  EXPECT_FALSE(Topmost());
}

TEST_F(ErrorDialog, TheTextBoxTurnsYellowThenWhiteAndTakesTheFocus) {
  Show(5);
  dialog.tmrHighlight_Timer();
  EXPECT_EQ(dialog.HighlightCount(), 1);
  EXPECT_EQ(DescribeColour(), COLORREF(0x00FFFF));
  EXPECT_NE(GetFocus(), dialog.Control(L"txtDescribe"));
  EXPECT_TRUE(dialog.Highlighting());
  dialog.tmrHighlight_Timer();
  EXPECT_EQ(dialog.HighlightCount(), 0);
  EXPECT_FALSE(dialog.Highlighting());
  EXPECT_EQ(DescribeColour(), COLORREF(0xFFFFFF));
  EXPECT_EQ(GetFocus(), dialog.Control(L"txtDescribe"));
}

// Lines to beyond the foot of the screen and a word wider than it: the
// dialog still stands whole on the screen.
TEST_F(ErrorDialog, StaysOnTheScreenWhateverTheMessage) {
  std::wstring description(400, L'W');
  for (int line = 0; line < 80; ++line) description += L"\r\nline " + std::to_wstring(line);
  ShowErrorDialog(dialog, 5, false, description);
  EXPECT_TRUE(InTheWorkArea(dialog.hWnd()));
}

TEST_F(ErrorDialog, EnterMakesANewLineWhileTheTextBoxHasTheFocus) {
  Show(5);
  HWND box = dialog.Control(L"txtDescribe");
  SetFocus(box);
  basic::DoEvents();
  EXPECT_EQ(DefaultButton(), 0);
  SendMessageA(box, EM_SETSEL, 0, 0);
  PostMessageA(box, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(box, WM_CHAR, '\r', 1);
  basic::DoEvents();
  EXPECT_TRUE(dialog.IsLoaded());
  EXPECT_EQ(vbwRetCode, 0);
  EXPECT_EQ(Text(L"txtDescribe").substr(0, 2), L"\r\n");
  SetFocus(dialog.Control(L"cmdAction(3)"));
  basic::DoEvents();
  EXPECT_EQ(DefaultButton(), GetDlgCtrlID(dialog.Control(L"cmdSendMail")));
}

TEST_F(ErrorDialog, TheWindowMenuHasNoCloseAndTheCloseBoxDoesNothing) {
  Show(5);
  EXPECT_EQ(GetMenuState(GetSystemMenu(dialog.hWnd(), FALSE), SC_CLOSE, MF_BYCOMMAND), UINT(-1));
  SendMessageA(dialog.hWnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(dialog.IsLoaded());
}

TEST_F(ErrorDialog, ReportingWithTheUntouchedPlaceholderSendsIt) {
  Show(5);
  DialogAnswerer user(IDOK);
  dialog.cmdSendMail_Click();
  EXPECT_EQ(vbwRetCode, 8);
  EXPECT_EQ(vbwCircumstancesString, vbwFrmErrHandler::kPlaceholder);
  EXPECT_FALSE(dialog.IsLoaded());
  EXPECT_FALSE(Topmost());
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(ErrorDialog, UnloadedWithoutAChoiceItAnswersFour) {
  Show(5);
  dialog.Unload();
  EXPECT_EQ(vbwRetCode, 4);
}

TEST_F(ErrorDialog, CloseEndsTheProgram) {
  EXPECT_EXIT(
      {
        Show(5);
        dialog.cmdAction_Click(3);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
