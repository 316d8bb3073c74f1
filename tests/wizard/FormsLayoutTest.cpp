// Every window of the wizard at the screen's DPI (the run chooses it by its
// prefix): each text shows whole and clear of the others and stands out from
// its background in the user's colours, the first control has the focus when
// the window opens, and the keyboard works the windows.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "basic/Colours.h"
#include "basic/Handles.h"
#include "basic/Runtime.h"
#include "basic/Text.h"
#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwFrmErrHandler.h"
#include "network/frmNWCheck.h"
#include "network/frmPassword.h"
#include "support/DialogAnswerer.h"
#include "support/FormsUnderTest.h"
#include "support/WizardDriver.h"
#include "wizard/Continue.h"
#include "wizard/Global.h"
#include "wizard/frmProcessing.h"
#include "wizard/resource.h"
#include "wizard/start_month.h"

namespace {

int AtDpi(int pixelsAt96) { return MulDiv(pixelsAt96, driver::ScreenDpi(), 96); }

bool OfClass(HWND control, const char* kind) {
  char name[32] = {};
  GetClassNameA(control, name, sizeof name);
  return lstrcmpiA(name, kind) == 0;
}
bool IsLabel(HWND control) { return OfClass(control, "Static"); }

// The text of a label as the label draws it: in its font, wrapped at its width.
SIZE TextSize(HWND label) {
  const std::string text = driver::Text(label);
  RECT client;
  GetClientRect(label, &client);
  HDC dc = GetDC(label);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
  RECT r{0, 0, client.right, 0};
  DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  return {r.right, r.bottom};
}

struct Drawn {
  std::wstring name;
  RECT rect;  // where it draws, in the form's client area
};

// The visible controls and where they draw: a label only as far as its text goes.
std::vector<Drawn> VisibleControls(const basic::Form& form) {
  std::vector<Drawn> drawn;
  for (const auto& [name, control] : form.Controls()) {
    if (!IsWindowVisible(control)) continue;
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, form.hWnd(), reinterpret_cast<POINT*>(&r), 2);
    if (IsLabel(control)) {
      const SIZE text = TextSize(control);
      const bool centred = (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_CENTER;
      if (centred) r.left += std::max<LONG>(0, (r.right - r.left - text.cx) / 2);
      r.right = std::min<LONG>(r.right, r.left + text.cx);
      r.bottom = std::min<LONG>(r.bottom, r.top + text.cy);
    }
    drawn.push_back({name, r});
  }
  return drawn;
}

// Whole texts, nothing covered, nothing cut off by the window's edge.
void ExpectTidy(const basic::Form& form) {
  SCOPED_TRACE(Narrow(form.Name()) + " at " + std::to_string(driver::ScreenDpi()) + " DPI");
  for (const auto& [name, control] : form.Controls()) {
    if (!IsWindowVisible(control) || !IsLabel(control)) continue;
    RECT client;
    GetClientRect(control, &client);
    const SIZE text = TextSize(control);
    EXPECT_LE(text.cx, client.right) << Narrow(name) << ": \"" << driver::Text(control) << "\"";
    EXPECT_LE(text.cy, client.bottom) << Narrow(name) << ": \"" << driver::Text(control) << "\"";
  }
  RECT client;
  GetClientRect(form.hWnd(), &client);
  const std::vector<Drawn> drawn = VisibleControls(form);
  for (size_t i = 0; i < drawn.size(); ++i) {
    RECT inside;
    IntersectRect(&inside, &drawn[i].rect, &client);
    EXPECT_TRUE(EqualRect(&inside, &drawn[i].rect)) << Narrow(drawn[i].name) << " reaches out of the window";
    for (size_t j = i + 1; j < drawn.size(); ++j) {
      RECT both;
      EXPECT_FALSE(IntersectRect(&both, &drawn[i].rect, &drawn[j].rect))
          << Narrow(drawn[i].name) << " and " << Narrow(drawn[j].name) << " overlap";
    }
  }
}

// The width of an icon's picture; 0 for no icon.
int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// The width of the picture that an icon resource holds for a size: the size
// itself when the picture is drawn for it rather than stretched.
int IconDrawnFor(int resource, int size) {
  HMODULE program = GetModuleHandleA(nullptr);
  auto* directory = static_cast<BYTE*>(
      LockResource(LoadResource(program, FindResourceA(program, MAKEINTRESOURCEA(resource), RT_GROUP_ICON))));
  const int icon = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  return static_cast<const BITMAPINFOHEADER*>(
             LockResource(LoadResource(program, FindResourceA(program, MAKEINTRESOURCEA(icon), RT_ICON))))
      ->biWidth;
}

TEST(Screen, HasTheDpiTheRunAsksFor) {
  const char* wanted = std::getenv("KORVELL_TEST_DPI");
  if (!wanted) GTEST_SKIP() << "the run names no DPI";
  EXPECT_EQ(driver::ScreenDpi(), std::atoi(wanted)) << "the prefix's LogPixels did not take effect";
}

int FontHeight(HWND window) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return std::abs(font.lfHeight);
}

// Each form and its font as large as at 96 DPI times the DPI's share. (The
// instruction, the height of a screen at 96 DPI, is cut to a test screen's.)
TEST(Screen, FormsAndTheirFontsGrowWithTheDpi) {
  start_month month;
  frmProcessing progress;
  networkdriveunc = L"\\\\MASTER\\Private";
  frmPassword prompt;
  const struct {
    basic::Form& form;
    int heightAt96;
  } forms[] = {{month, 323}, {progress, 107}, {prompt, 136}};
  for (const auto& [form, heightAt96] : forms) {
    form.Show();
    RECT client;
    GetClientRect(form.hWnd(), &client);
    EXPECT_NEAR(client.bottom, AtDpi(heightAt96), 1) << Narrow(form.Name());
    EXPECT_NEAR(FontHeight(form.hWnd()), AtDpi(11), 1) << Narrow(form.Name());
    form.Unload();
  }
}

// A label whose text needs more lines than it was given grows, and the
// panel around it grows with it, pushing down what stands below the panel.
TEST(Screen, APanelGrowsWithTheLabelInItAndPushesDownWhatIsBelow) {
  const basic::ControlSpec controls[] = {
      {basic::Kind::Panel, L"Panel", 60, 60, 3000, 600},
      {basic::Kind::Label, L"Inside", 120, 120, 2880, 240, L"Longer than one line of the label: the panel grows."},
      {basic::Kind::Button, L"Below", 60, 900, 1200, 390, L"O.K."},
  };
  basic::Form form({L"Grows", L"Grows", 3200, 1500, WS_CAPTION}, controls);
  form.Load();
  RECT label, button;
  GetWindowRect(form.Control(L"Inside"), &label);
  GetWindowRect(form.Control(L"Below"), &button);
  MapWindowPoints(nullptr, form.hWnd(), reinterpret_cast<POINT*>(&label), 2);
  MapWindowPoints(nullptr, form.hWnd(), reinterpret_cast<POINT*>(&button), 2);
  const RECT panel = form.PanelRect(L"Panel");
  EXPECT_GE(label.bottom - label.top, basic::LabelTextSize(form.Control(L"Inside")).cy);
  EXPECT_EQ(panel.bottom - label.bottom, basic::TwipsToPixels(60 + 600) - basic::TwipsToPixels(120 + 240));
  EXPECT_EQ(button.top - panel.bottom, basic::TwipsToPixels(900) - basic::TwipsToPixels(60 + 600));
  form.Unload();
}

TEST(SharingInstruction, IsTidyAndEnterPressesOk) {
  Continue form;
  form.Show();
  ExpectTidy(form);
  EXPECT_EQ(Focused(form), L"Command1");
  Press(VK_ESCAPE);
  EXPECT_TRUE(form.IsLoaded()) << "only O.K. lets the set-up go on";
  Press(VK_RETURN);
  EXPECT_FALSE(form.IsLoaded());
}

// The program's icon in the caption and on the taskbar, each drawn for its
// size at this DPI rather than stretched.
TEST(SharingInstruction, CarriesTheProgramsIconsForTheDpi) {
  Continue form;
  form.Load();
  const auto icon = [&](int which) { return reinterpret_cast<HICON>(GetClassLongPtrA(form.hWnd(), which)); };
  EXPECT_EQ(IconWidth(icon(GCLP_HICON)), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(IconWidth(icon(GCLP_HICONSM)), GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(IconDrawnFor(IDI_TAMSEL, GetSystemMetrics(SM_CXSMICON)), GetSystemMetrics(SM_CXSMICON));
  form.Unload();
}

TEST(ProgressWindow, IsTidy) {
  frmProcessing form;
  form.Show();
  ExpectTidy(form);
  form.Unload();
}

TEST_F(StartMonthShown, IsTidyWithRowsForItsFont) {
  ExpectTidy(form);
  HWND grid = form.Control(L"vaSpread1");
  RECT client;
  GetClientRect(grid, &client);
  HDC dc = GetDC(grid);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(grid, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(grid, dc);
  EXPECT_GE(client.bottom / 13, metrics.tmHeight) << "a month's row is lower than its text";
}

TEST_F(StartMonthShown, TheGridHasTheFocusAndTheKeysTickAMonthAndPressOk) {
  Press(VK_UP);
  EXPECT_EQ(form.vaSpread1.Current(), 1) << "Up at January stays there";
  EXPECT_EQ(Focused(form), L"vaSpread1");
  Press(VK_DOWN);
  Press(VK_DOWN);
  Press(VK_SPACE);
  EXPECT_TRUE(form.vaSpread1.Checked(3));
  Press(VK_RETURN);
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_EQ(ini_value, L"3");
}

class SelectorLayout : public ::testing::Test {
 protected:
  void SetUp() override { ShowFreshSelector(form); }
  void TearDown() override { form.Unload(); }
  void Expand(const std::wstring& key) {
    form.tvwNetwork.Select(key);
    SendMessageA(form.tvwNetwork.hWnd(), WM_KEYDOWN, VK_ADD, 0);
    basic::DoEvents();
  }
  void ClickShare(const std::wstring& share) {
    for (const wchar_t* key : {L"Office Network", L"QUILLON", L"\\\\MASTER"}) Expand(key);
    form.tvwNetwork_NodeClick(share);
  }
  frmNWCheck& form = frmNWCheck::Instance();
};

TEST_F(SelectorLayout, ShowsTheInstructionAndThePathWholeAboveTheTree) {
  ExpectTidy(form);
  ClickShare(L"\\\\MASTER\\korvell");
  ExpectTidy(form);
  RECT instruction, path;
  GetWindowRect(form.Control(L"Label1"), &instruction);
  GetWindowRect(form.Control(L"lblPath"), &path);
  EXPECT_GE(path.top, instruction.top + TextSize(form.Control(L"Label1")).cy) << "the path has a line of its own";
}

bool HasImageStripDrawnFor(int size) {
  for (int resource : {IDB_NETWORK, IDB_NETWORK_24, IDB_NETWORK_32}) {
    const basic::UniqueGdi strip(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, 0));
    BITMAP bitmap{};
    GetObjectA(strip.get(), sizeof bitmap, &bitmap);
    if (bitmap.bmHeight == size) return true;
  }
  return false;
}

TEST_F(SelectorLayout, ImagesAndPicturesHaveTheSizeOfTheDpi) {
  EXPECT_TRUE(HasImageStripDrawnFor(AtDpi(16)));
  for (int picture : {IDI_CONFIRM, IDI_EXIT, IDI_PASSWORD}) EXPECT_EQ(IconDrawnFor(picture, AtDpi(32)), AtDpi(32));
  int width = 0, height = 0;
  ImageList_GetIconSize(TreeView_GetImageList(form.tvwNetwork.hWnd(), TVSIL_NORMAL), &width, &height);
  EXPECT_EQ(width, AtDpi(16));
  EXPECT_EQ(height, AtDpi(16));
  for (const wchar_t* button : {L"cmdMapDrive", L"cmdExit", L"cmdPassword"}) {
    const auto icon = reinterpret_cast<HICON>(SendMessageA(form.Control(button), BM_GETIMAGE, IMAGE_ICON, 0));
    EXPECT_EQ(IconWidth(icon), AtDpi(32)) << Narrow(button);
  }
}

// Coming back to the window never gives the focus to a control that can no
// longer take it.
TEST_F(SelectorLayout, TheFocusComesBackOnlyToAControlThatCanTakeIt) {
  for (const bool hide : {false, true}) {
    HWND exit = form.Control(L"cmdExit");
    SetFocus(exit);
    {
      const AnotherProgram other;
      hide ? ShowWindow(exit, SW_HIDE) : EnableWindow(exit, FALSE);
    }
    SetActiveWindow(form.hWnd());
    basic::DoEvents();
    EXPECT_NE(GetFocus(), exit) << (hide ? "hidden" : "disabled");
    EXPECT_TRUE(IsChild(form.hWnd(), GetFocus()) && IsWindowVisible(GetFocus()) && IsWindowEnabled(GetFocus()));
    ShowWindow(exit, SW_SHOW);
    EnableWindow(exit, TRUE);
  }
}

// A path typed and left for another program is not taken; left for another
// control of the window, it is.
TEST_F(SelectorLayout, ThePathBoxTakesItsTextOnlyWhenTheFocusStaysInTheWindow) {
  HWND box = form.Control(L"txtPath");
  SetFocus(box);
  for (char c : std::string("\\\\MASTER\\KORVELL")) driver::TypeChar(box, c);
  basic::DoEvents();
  ASSERT_EQ(form.Text(L"txtPath"), L"\\\\MASTER\\KORVELL");
  {
    const AnotherProgram other;
    EXPECT_EQ(form.Text(L"lblPath"), L"Selected Network Path: None");
  }
  SetActiveWindow(form.hWnd());
  basic::DoEvents();
  EXPECT_EQ(Focused(form), L"txtPath");
  Press(VK_TAB);
  EXPECT_NE(form.Text(L"lblPath").find(L"\\\\MASTER\\KORVELL"), std::wstring::npos) << Narrow(form.Text(L"lblPath"));
}

// Esc for the prompt once its modal show runs; where the focus was then.
std::wstring g_focusInPrompt;
void CALLBACK EscapeThePrompt(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  const basic::Form& prompt = *basic::Form::Forms().back();
  g_focusInPrompt = prompt.Name() + L"." + Focused(prompt);
  driver::PressKey(GetFocus(), VK_ESCAPE);
}

TEST_F(SelectorLayout, TheTreeHasTheFocusAndGetsItBackFromThePasswordPrompt) {
  EXPECT_EQ(Focused(form), L"tvwNetwork");
  ClickShare(L"\\\\MASTER\\Private");
  SetTimer(nullptr, 0, 300, EscapeThePrompt);
  form.cmdPassword_Click();
  EXPECT_EQ(g_focusInPrompt, L"frmPassword.txtPassword");
  EXPECT_EQ(basic::Form::Forms().back(), &form) << "Esc closes the prompt";
  EXPECT_EQ(Focused(form), L"tvwNetwork");

  // Alt+P, the mnemonic of "&Password", opens it too.
  g_focusInPrompt.clear();
  SetTimer(nullptr, 0, 300, EscapeThePrompt);
  PostMessageA(GetFocus(), WM_SYSCHAR, 'p', 1 << 29);
  basic::DoEvents();
  EXPECT_EQ(g_focusInPrompt, L"frmPassword.txtPassword");
  EXPECT_TRUE(IsChild(form.hWnd(), GetFocus()));
}

class PasswordPrompt : public ::testing::Test {
 protected:
  void SetUp() override {
    networkdriveunc = L"\\\\MASTER\\Private";
    UserPassword = L"before";
    prompt.Show();
  }
  void TearDown() override { prompt.Unload(); }
  void Type(const char* text) {
    for (const char* c = text; *c; ++c) driver::TypeChar(GetFocus(), *c);
    basic::DoEvents();
  }
  frmPassword prompt;
};

TEST_F(PasswordPrompt, IsTidyWithTheCaretInThePasswordBox) {
  ExpectTidy(prompt);
  EXPECT_EQ(Focused(prompt), L"txtPassword");
  for (const wchar_t* next : {L"cmdOk", L"cmdCancel", L"txtUser", L"txtPassword"}) {
    Press(VK_TAB);
    EXPECT_EQ(Focused(prompt), next);
  }
}

TEST_F(PasswordPrompt, EnterTriesWhatWasTypedAndAsksAgain) {
  Type("secret");
  {
    DialogAnswerer answerer(IDOK);  // the share refuses
    Press(VK_RETURN);
  }
  EXPECT_TRUE(prompt.IsLoaded());
  EXPECT_EQ(prompt.Text(L"txtPassword"), L"");
  EXPECT_EQ(Focused(prompt), L"txtPassword");
  EXPECT_EQ(UserPassword, L"before");
}

// OK clicked with the mouse has the focus when the share refuses: the
// refusal is the system's words, and the caret goes back to the password.
TEST_F(PasswordPrompt, AWrongPasswordClickedIsRefusedInTheSystemsWordsAndAskedAgain) {
  Type("secret");
  SetFocus(prompt.Control(L"cmdOk"));
  std::string refusal;
  {
    DialogAnswerer answerer(IDOK);
    driver::Click(prompt.Control(L"cmdOk"));
    basic::DoEvents();
    ASSERT_TRUE(driver::WaitUntil([&] {
      basic::DoEvents();
      return answerer.Answered();
    }));
    refusal = answerer.Text();
  }
  basic::DoEvents();
  const std::string first = "Cannot connect to \\\\MASTER\\Private:";
  EXPECT_EQ(refusal.substr(0, first.size()), first) << refusal;
  EXPECT_GT(refusal.size(), first.size() + 2) << "no words of the system's";
  EXPECT_FALSE(std::isspace(static_cast<unsigned char>(refusal.back()))) << "[" << refusal << "]";
  EXPECT_EQ(Focused(prompt), L"txtPassword");
}

TEST_F(PasswordPrompt, EscapeCancels) {
  Type("typed");
  Press(VK_ESCAPE);
  EXPECT_FALSE(prompt.IsLoaded());
  EXPECT_EQ(UserPassword, L"before");
}

struct Showing {
  int32_t number;
  bool reported;
  const wchar_t* description = L"Something failed";
};

class ErrorDialogLayout : public ::testing::TestWithParam<Showing> {
 protected:
  void SetUp() override {
    const auto [number, reported, description] = GetParam();
    ShowErrorDialog(dialog, number, reported, description);
  }
  void TearDown() override {
    if (dialog.IsLoaded()) dialog.Unload();
  }
  vbwFrmErrHandler dialog;
};

// Enter presses the button the dialog opens on; no label reaches under a
// button, where repainting the label could hide it. The whole dialog is on
// the screen, beside any task bar, whatever its message.
TEST_P(ErrorDialogLayout, IsTidyOnTheScreenAndOpensOnItsFirstButton) {
  ExpectTidy(dialog);
  EXPECT_TRUE(InTheWorkArea(dialog.hWnd()));
  const bool asks = dialog.Visible(L"cmdSendMail") && dialog.Enabled(L"cmdSendMail");
  const wchar_t* first = asks ? L"cmdSendMail" : L"cmdAction(3)";
  EXPECT_EQ(Focused(dialog), first);
  EXPECT_EQ(LOWORD(SendMessageA(dialog.hWnd(), DM_GETDEFID, 0, 0)), GetDlgCtrlID(dialog.Control(first)));
  RECT label, button, both;
  GetWindowRect(dialog.Control(L"lblReport"), &label);
  for (const wchar_t* name : {L"cmdSendMail", L"cmdAction(3)"}) {
    GetWindowRect(dialog.Control(name), &button);
    EXPECT_FALSE(dialog.Visible(name) && IntersectRect(&both, &label, &button)) << Narrow(name);
  }
}

// The apology, the thanks after a report, and each known error's
// explanation; the longest message the wizard writes, before a report and
// with an explanation.
INSTANTIATE_TEST_SUITE_P(EachShowing, ErrorDialogLayout,
                         ::testing::Values(Showing{5, false}, Showing{5, true}, Showing{-2147417848, false},
                                           Showing{-2147417851, false}, Showing{7, false}, Showing{76, false},
                                           Showing{3260, false}, Showing{5, false, kLongestDescription},
                                           Showing{76, false, kLongestDescription}));

// A control's pixels (0x00RRGGBB) as the screen shows them, repainted with
// what its window paints under it: a label's background may be hollow.
std::vector<DWORD> Pixels(HWND control) {
  const HWND window = GetAncestor(control, GA_ROOT);
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  RedrawWindow(window, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GetClientRect(control, &r);
  const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HDC screen = GetDC(control), memory = CreateCompatibleDC(screen);
  const basic::UniqueGdi bitmap(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const HGDIOBJ old = SelectObject(memory, bitmap.get());
  BitBlt(memory, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(control, screen);
  return {static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + r.right * r.bottom};
}

COLORREF Commonest(const std::map<DWORD, int>& counts) {
  const DWORD p =
      std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  return RGB(GetBValue(p), GetGValue(p), GetRValue(p));
}

// The contrast of a control's own text to its background: the text is the
// commonest colour of the pixels that change when the text goes, the
// background that of the others. A picture button's picture moves with its
// text: it is measured without.
double TextContrast(HWND control) {
  const auto picture = SendMessageA(control, BM_SETIMAGE, IMAGE_ICON, 0);
  const std::string text = driver::Text(control);
  const std::vector<DWORD> shown = Pixels(control);
  SetWindowTextA(control, "");
  const std::vector<DWORD> without = Pixels(control);
  SetWindowTextA(control, text.c_str());
  SendMessageA(control, BM_SETIMAGE, IMAGE_ICON, picture);
  std::map<DWORD, int> back, drawn;
  for (size_t i = 0; i < shown.size(); ++i) ++(shown[i] == without[i] ? back : drawn)[shown[i]];
  return drawn.empty() || back.empty() ? 1.0 : basic::Contrast(Commonest(drawn), Commonest(back));
}

// Every text of the form's labels, buttons and boxes that can be used stands
// out from its background. (The tree and the grid draw with the scheme's
// colours; their window texts are what screen readers read.)
void ExpectLegible(const basic::Form& form) {
  for (const auto& [name, control] : form.Controls()) {
    const bool shown = IsWindowVisible(control) && IsWindowEnabled(control) && !driver::Text(control).empty();
    if (!shown || !(IsLabel(control) || OfClass(control, "Button") || OfClass(control, "Edit"))) continue;
    EXPECT_GE(TextContrast(control), basic::kLegibleContrast) << Narrow(form.Name()) << "." << Narrow(name);
  }
}

// A colour scheme while the test runs: the colours of the faces, texts,
// windows and highlights; none for the system's own scheme.
constexpr int kSchemeColours[] = {COLOR_BTNFACE,    COLOR_BTNTEXT,   COLOR_WINDOW,
                                  COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
                                  COLOR_GRAYTEXT,   COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
using Scheme = std::vector<COLORREF>;

class InTheScheme : public ::testing::TestWithParam<Scheme> {
 protected:
  void SetUp() override {
    for (int index : kSchemeColours) before_.push_back(GetSysColor(index));
  }
  void Choose() {
    if (!GetParam().empty()) SetSysColors(int(std::size(kSchemeColours)), kSchemeColours, GetParam().data());
  }
  void TearDown() override { SetSysColors(int(std::size(kSchemeColours)), kSchemeColours, before_.data()); }
  Scheme before_;
};

// The scheme is chosen while the selector stands, which then paints itself
// anew in it. The error dialog's box is measured in both its colours.
TEST_P(InTheScheme, EveryTextStandsOutFromItsBackground) {
  frmNWCheck& selector = frmNWCheck::Instance();
  ShowFreshSelector(selector);
  Choose();
  ExpectLegible(selector);
  selector.Unload();
  Continue instruction;
  start_month month;
  networkdriveunc = L"\\\\MASTER\\Private";
  frmPassword prompt;
  for (basic::Form* form : std::initializer_list<basic::Form*>{&instruction, &month, &prompt}) {
    form->Show();
    ExpectLegible(*form);
    form->Unload();
  }
  for (const auto& [number, reported] : {std::pair{5, false}, std::pair{5, true}, std::pair{76, false}}) {
    vbwFrmErrHandler dialog;
    ShowErrorDialog(dialog, number, reported);
    vbwTurnOffTimers();
    ExpectLegible(dialog);
    dialog.tmrHighlight_Timer();
    ExpectLegible(dialog);
    dialog.Unload();
  }
}

constexpr COLORREF kBlack = 0, kWhite = 0xFFFFFF, kGrey = 0x808080;
INSTANTIATE_TEST_SUITE_P(DefaultDarkAndLight, InTheScheme,
                         ::testing::Values(Scheme{},
                                           Scheme{kBlack, kWhite, kBlack, kWhite, RGB(26, 235, 255), kBlack,
                                                  RGB(63, 242, 63), kGrey, kWhite},
                                           Scheme{kWhite, kBlack, kWhite, kBlack, RGB(55, 0, 110), kWhite,
                                                  RGB(96, 0, 0), kGrey, kWhite}));

TEST(ErrorDialogKeys, AltEReportsTheError) {
  vbwFrmErrHandler dialog;
  ShowErrorDialog(dialog, 5, false);
  {
    DialogAnswerer user(IDOK);
    PostMessageA(GetFocus(), WM_SYSCHAR, 'e', 1 << 29);
    basic::DoEvents();
  }
  EXPECT_EQ(vbwRetCode, 8);
  EXPECT_FALSE(dialog.IsLoaded());
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

}  // namespace
