#include "vbwFrmErrHandler.h"

#include <array>

#include "../basic/App.h"
#include "../basic/Colours.h"
#include "../basic/Runtime.h"
#include "../basic/Text.h"
#include "../wizard/Global.h"
#include "../standins/reportext/VbwExtension.h"
#include "vbwErrHandler.h"

using basic::ControlSpec;
using basic::Kind;
using basic::TwipsToPixels;

namespace {

constexpr int32_t kClose = 3, kUnloaded = 4, kReport = 8;
constexpr COLORREF kRed = 0x0000FF, kYellow = 0x00FFFF, kWhite = 0xFFFFFF, kGrey = 0x808080;

// The description box, plain and highlighted: the dialog's own colours, in a
// high-contrast scheme the scheme's.
struct BoxColours {
  COLORREF own;
  int back, text;  // the scheme's colours in their place
};
constexpr BoxColours kPlainBox{kWhite, COLOR_WINDOW, COLOR_WINDOWTEXT};
constexpr BoxColours kHighlightedBox{kYellow, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
constexpr int kPanelWidth = 6195, kPanelHeight = 3405;
constexpr int kLabelLeft = 960, kLabelTop = 210;
constexpr int kLabelSlack = 30;  // the message label is as much larger than its text
constexpr int kRightMargin = 260, kBottomMargin = 320;
constexpr int kMiddleSlot = 2190;
constexpr int kReportLeft = 240, kReportTop = 180, kReportWidth = 5550, kReportHeight = 1275;
constexpr int kUpperSeparator = 90, kLowerSeparator = 2730, kButtonRow = 2880;

// The panel's controls, placed relative to the panel; in tab order. The text
// box's label comes just before it, as screen readers look for it, and takes
// the box's first line.
const ControlSpec kControls[] = {
    {Kind::Label, L"lblErrorString", kLabelLeft, kLabelTop, 100, 100},
    {Kind::DefaultButton, L"cmdSendMail", 4440, 1890, 1395, 345, L"Report &Error"},
    {Kind::Label, L"lblDescribe", 240, 1500, 4065, 210, L"What were you doing when this error occurred?"},
    {Kind::MultiLineBox, L"txtDescribe", 240, 1725, 4065, 870},
    {Kind::Button, L"cmdAction(3)", 690, kButtonRow, 1400, 345, L"&Abort"},
    {Kind::Button, L"cmdAction(4)", 2190, kButtonRow, 1400, 345, L"&Retry"},
    {Kind::Button, L"cmdAction(5)", 3690, kButtonRow, 1400, 345, L"&Ignore"},
    {Kind::Label, L"lblReport", kReportLeft, kReportTop, kReportWidth, kReportHeight},
};
constexpr std::array kPanelControls{L"cmdSendMail",  L"lblDescribe",  L"txtDescribe", L"cmdAction(3)",
                                    L"cmdAction(4)", L"cmdAction(5)", L"lblReport"};

const basic::FormSpec kForm{L"vbwFrmErrHandler", L"",  kPanelWidth, kPanelHeight, WS_CAPTION | WS_SYSMENU,
                            WS_EX_DLGMODALFRAME, false};

struct KnownError {
  std::array<int32_t, 7> numbers;
  const wchar_t* explanation;
};

const KnownError kKnownErrors[] = {
    {{-2147417848}, L"A file has not registered correctly \r\n\r\nplease contact Obrin Technical Support for advice."},
    {{-2147417851, -2147417846},
     L"Microsoft Word is not installed properly\r\n\r\nor the latest service packs have not been installed.\r\n"
     L"Please contact Obrin Technical Support for advice."},
    {{7, 91, 3043, 65535},
     L"OBRIN has encountered a windows error.\r\n"
     L"It is recommended that you restart this machine, or the entire network.\r\n"
     L"If the error recurs please contact Obrin Technical Support."},
    {{76, 525, 3024, 3044, 3050, 3159, 3343},
     L"There is  a problem connecting to your database.\r\n\r\n"
     L"Please close Obrin on every machine on the network, then repair the Database using the Dunlane - this "
     L"should correct the error and you will be able to continue use as before.\r\n\r\n"
     L"If the error recurs please contact Obrin Technical Support."},
    {{3260},
     L"The record you are editing is being edited by another user\r\n\r\n"
     L"Try again once other users have finished with this item"},
};

constexpr const wchar_t* kFirstShowing =
    L"We are very sorry for this inconvenience and we would like to provide a fix for this error. "
    L"You may help us a great deal by reporting this error via email. "
    L"If you allow this, please fill the text box below and press the Report Error button. "
    L"Alternatively, Please note down ALL the information above,"
    L"and report it by phone or fax to Technical Support.\r\n"
    L"Thanks for your time.";

constexpr const wchar_t* kAfterReport =
    L"Thanks for having reported this error !\r\nPlease select a continuation below...";

constexpr const wchar_t* kReportNotice =
    L"This application will now retrieve some data needed to fix this error, open your email messenger and "
    L"prepare a message to send. Then please press the \"Send Message\" button.\r\n"
    L"This may take from a few seconds up to a few minutes depending on the amount of data to retrieve.\r\n"
    L"During this time, you should normally notice hard drive and floppy drive activity.";

std::optional<vbwFrmErrHandler> g_dialog;

}  // namespace

VbwExtension VbwExtension1;

std::optional<std::wstring> KnownErrorExplanation(int32_t number) {
  if (number == 0) return std::nullopt;
  for (const auto& known : kKnownErrors)
    for (int32_t n : known.numbers)
      if (n == number) return known.explanation;
  return std::nullopt;
}

int32_t MessageErrorNumber(const std::wstring& message) {
  std::vector<std::wstring> lines;
  for (size_t start = 0;;) {
    const size_t end = message.find(L"\r\n", start);
    lines.push_back(message.substr(start, end - start));
    if (end == std::wstring::npos) break;
    start = end + 2;
  }
  if (lines.size() < 3) return 0;
  std::wstring number = lines[2];
  for (size_t at; (at = number.find(L"Error ")) != std::wstring::npos;) number.erase(at, 6);
  number = basic::Trim(number);
  wchar_t* end = nullptr;
  const long long value = std::wcstoll(number.c_str(), &end, 10);
  if (number.empty() || *end != L'\0' || value < INT32_MIN || value > INT32_MAX) return 0;
  return int32_t(value);
}

vbwFrmErrHandler::vbwFrmErrHandler() : Form(kForm, kControls), tmrHighlight(1000, [this] { tmrHighlight_Timer(); }) {}

std::vector<basic::Object::ModuleVariable> vbwFrmErrHandler::ModuleVariables() const {
  return {{L"lngHighlightCount", lngHighlightCount}};
}

void vbwFrmErrHandler::Form_Load() {
  lngHighlightCount = 0;
  for (const wchar_t* button : {L"cmdAction(3)", L"cmdAction(4)", L"cmdAction(5)"}) SetVisible(button, false);
  SetText(L"cmdAction(3)", L"Close");
  SetVisible(L"cmdAction(3)", true);
  SetWindowTextA(hWnd(), basic::ToAnsi(basic::App::Title).c_str());
  SetText(L"lblErrorString", vbwMessageString);

  const auto explanation = KnownErrorExplanation(MessageErrorNumber(vbwMessageString));
  known_ = explanation.has_value();
  if (known_) {
    SetText(L"lblReport", *explanation);
    SetVisible(L"lblDescribe", false);
    SetVisible(L"txtDescribe", false);
    SetVisible(L"cmdSendMail", false);
    SetDefaultButton(L"cmdAction(3)");
  } else if (vbwfHasReported) {
    SetText(L"lblReport", kAfterReport);
    SetText(L"txtDescribe", L"");
    SetEnabled(L"cmdSendMail", false);
    SetVisible(L"lblDescribe", false);
    SetVisible(L"txtDescribe", false);
    SetDefaultButton(L"cmdAction(3)");
  } else {
    SetText(L"lblReport", kFirstShowing);
    SetText(L"txtDescribe", kPlaceholder);
  }
  Layout();
  DisableCloseCommand();
  MessageBeep(MB_OK);
  if (!vbwfHasReported) SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  openingFocus_ = GetNextDlgTabItem(hWnd(), nullptr, FALSE);
  tmrHighlight.SetEnabled(true);
}

// The message label takes the size of its text, on the lines it is written
// in where the work area has room for them, else wrapped at the widest the
// work area leaves; the panel goes below it, centred, and the form around
// both. The explanation takes the lines its text needs: what lies below it
// in the panel moves down, and the panel grows, by as much as the text needs
// more than its room. A message too long for the height of the work area is
// cut there; the report and a screen reader have it whole.
void vbwFrmErrHandler::Layout() {
  MeasureReport();
  const SIZE largest = LargestClient();
  // Less a pixel each side, which converting to twips and back may add.
  const int room = largest.cx - TwipsToPixels(kLabelLeft + kLabelSlack + kRightMargin) - 2;
  const int tallest = largest.cy - TwipsToPixels(kLabelTop + kLabelSlack + kPanelHeight + grown_ + kBottomMargin) - 2;
  const SIZE text = MessageSize(room);
  const int labelWidth = basic::PixelsToTwips(std::min<int>(text.cx, room)) + kLabelSlack;
  const int labelHeight = basic::PixelsToTwips(std::max(0, std::min<int>(text.cy, tallest))) + kLabelSlack;
  Place(L"lblErrorString", kLabelLeft, kLabelTop, labelWidth, labelHeight);
  // As in an edit box, a word wider than the label is broken, and a line cut
  // at its foot is left out.
  HWND label = Control(L"lblErrorString");
  SetWindowLongA(label, GWL_STYLE, GetWindowLongA(label, GWL_STYLE) | SS_EDITCONTROL);

  const int formWidth = std::max(kLabelLeft + labelWidth + kRightMargin, kPanelWidth);
  panelLeft_ = (formWidth - kPanelWidth) / 2;
  const int panelTop = kLabelTop + labelHeight;
  for (const ControlSpec& c : kControls) {
    const std::wstring name = c.name;
    if (std::find(kPanelControls.begin(), kPanelControls.end(), name) == kPanelControls.end()) continue;
    const int left = name == L"cmdAction(3)" ? kMiddleSlot : c.left;
    const int height = name == L"lblReport" ? ReportRoom() + grown_ : c.height;
    Place(name, panelLeft_ + left, panelTop + c.top + (c.top >= kReportTop + kReportHeight ? grown_ : 0), c.width,
          height);
  }
  // Labels lie under the other controls: a long explanation runs behind the buttons.
  SetWindowPos(Control(L"lblReport"), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SizeAndCentre(formWidth, panelTop + kPanelHeight + grown_ + kBottomMargin);
}

// The message in the dialog's font, its lines broken at the width given
// (pixels) where they are longer.
SIZE vbwFrmErrHandler::MessageSize(int width) {
  HDC dc = GetDC(hWnd());
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hWnd(), WM_GETFONT, 0, 0)));
  const std::string text = basic::ToAnsi(vbwMessageString);
  RECT size{0, 0, width, 0};
  DrawTextA(dc, text.c_str(), int(text.size()), &size,
            DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(hWnd(), dc);
  return {size.right, size.bottom};
}

// A known error's explanation has the room down to the separator above the
// buttons, the others down to the text box's label. A longer text moves what
// lies below it down: the label never reaches under a button, where a
// repaint of the label could hide the button.
int vbwFrmErrHandler::ReportRoom() const { return known_ ? kLowerSeparator - kReportTop - 45 : kReportHeight; }

void vbwFrmErrHandler::MeasureReport() {
  Place(L"lblReport", kReportLeft, kReportTop, kReportWidth, ReportRoom());
  grown_ = std::max(0, basic::PixelsToTwips(basic::LabelTextSize(Control(L"lblReport")).cy) - ReportRoom());
}

// Without the Close command of the window menu, neither the close box nor
// its keyboard shortcut closes the dialog. The command and the separator
// above it go; they are the menu's last two items.
void vbwFrmErrHandler::DisableCloseCommand() {
  HMENU menu = GetSystemMenu(hWnd(), FALSE);
  for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
    if (GetMenuItemID(menu, position) != SC_CLOSE) continue;
    RemoveMenu(menu, UINT(position), MF_BYPOSITION);
    if (position > 0 && (GetMenuState(menu, UINT(position - 1), MF_BYPOSITION) & MF_SEPARATOR))
      RemoveMenu(menu, UINT(position - 1), MF_BYPOSITION);
    break;
  }
  DrawMenuBar(hWnd());
}

// The box's colours for the state of the highlight, the text at a contrast
// that can be read on whichever background; answers the background's brush.
HBRUSH vbwFrmErrHandler::PaintDescribe(HDC dc) {
  const BoxColours& box = lngHighlightCount == 1 ? kHighlightedBox : kPlainBox;
  const COLORREF back = basic::OwnColour(box.own, box.back);
  SetBkColor(dc, back);
  SetTextColor(dc, basic::Legible(basic::OwnColour(GetSysColor(COLOR_WINDOWTEXT), box.text), back));
  if (describeColour_ != back) describeBrush_.reset(CreateSolidBrush(describeColour_ = back));
  return static_cast<HBRUSH>(describeBrush_.get());
}

// The etched separators of the panel, above the explanation and above the
// button row wherever the labels' lines took them, and the error icon.
void vbwFrmErrHandler::Paint(HDC dc) {
  const auto top = [this](const wchar_t* control) {
    RECT r;
    GetWindowRect(Control(control), &r);
    MapWindowPoints(nullptr, hWnd(), reinterpret_cast<POINT*>(&r), 2);
    return int(r.top);
  };
  DrawIconEx(dc, TwipsToPixels(150), TwipsToPixels(240), LoadIconA(nullptr, IDI_HAND), TwipsToPixels(480),
             TwipsToPixels(480), 0, nullptr, DI_NORMAL);
  const basic::UniqueGdi grey(CreatePen(PS_SOLID, 1, basic::OwnColour(kGrey, COLOR_BTNSHADOW))),
      white(CreatePen(PS_SOLID, 1, basic::OwnColour(kWhite, COLOR_BTNHIGHLIGHT)));
  const HGDIOBJ old = SelectObject(dc, grey.get());
  for (const int y : {top(L"lblReport") - TwipsToPixels(kReportTop - kUpperSeparator),
                      top(L"cmdAction(3)") - TwipsToPixels(kButtonRow - kLowerSeparator)}) {
    for (const auto& [pen, x, dy] : {std::tuple{grey.get(), 240, 0}, std::tuple{white.get(), 255, 15}}) {
      SelectObject(dc, pen);
      MoveToEx(dc, TwipsToPixels(panelLeft_ + x), y + TwipsToPixels(dy), nullptr);
      LineTo(dc, TwipsToPixels(panelLeft_ + 5804), y + TwipsToPixels(dy));
    }
  }
  SelectObject(dc, old);
}

bool vbwFrmErrHandler::Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_CLOSE:  // only the buttons end the dialog
      result = 0;
      return true;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) != Control(L"lblReport") || !known_) return false;
      SetTextColor(reinterpret_cast<HDC>(wParam),
                   basic::Legible(basic::OwnColour(kRed, COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)));
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      // Hollow, so that the separator it reaches over stays visible.
      result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      return true;
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lParam) != Control(L"txtDescribe")) return false;
      result = reinterpret_cast<LRESULT>(PaintDescribe(reinterpret_cast<HDC>(wParam)));
      return true;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) != Control(L"txtDescribe")) return false;
      if (HIWORD(wParam) == EN_SETFOCUS) {
        // Enter makes a new line while the user writes; the text is selected,
        // so that typing replaces the placeholder.
        SetDefaultButton(L"");
        SendMessageA(Control(L"txtDescribe"), EM_SETSEL, 0, 65000);
      } else if (HIWORD(wParam) == EN_KILLFOCUS) {
        SetDefaultButton(L"cmdSendMail");
      }
      return false;
  }
  return false;
}

void vbwFrmErrHandler::tmrHighlight_Timer() {
  ++lngHighlightCount;
  if (lngHighlightCount > 1) {
    tmrHighlight.SetEnabled(false);
    lngHighlightCount = 0;
    // Only where the user has not moved on from where the dialog opened: a
    // keyboard user who went on to a button keeps it. No focus, or the
    // dialog's own, is none that the user gave: the dialog opened behind
    // another program's window, and the box has the focus when it comes.
    const HWND focus = FocusedControl();
    if (Visible(L"txtDescribe") && (!focus || focus == openingFocus_)) Focus(L"txtDescribe");
  }
  InvalidateRect(Control(L"txtDescribe"), nullptr, TRUE);
  UpdateWindow(Control(L"txtDescribe"));
}

void vbwFrmErrHandler::Click(const std::wstring& control) {
  if (control == L"cmdSendMail")
    cmdSendMail_Click();
  else if (control.starts_with(L"cmdAction("))
    cmdAction_Click(std::stoi(control.substr(10)));
}

void vbwFrmErrHandler::cmdSendMail_Click() {
  SetWindowPos(hWnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  vbwRetCode = kReport;
  vbwCircumstancesString = Text(L"txtDescribe");
  basic::MsgBox(kReportNotice, MB_OK | MB_ICONINFORMATION | MB_TOPMOST, basic::App::Title);
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  basic::DoEvents();
  Unload();
}

void vbwFrmErrHandler::cmdAction_Click(int Index) {
  vbwRetCode = Index;
  CloseApplication();
  basic::End();
}

void vbwFrmErrHandler::CloseApplication() {
  const std::vector<basic::Form*> forms = Forms();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    try {
      (*it)->Unload();
    } catch (...) {
    }
  }
  ini_value.clear();
  RegHelper.reset();
}

void vbwFrmErrHandler::Form_Unload() {
  tmrHighlight.SetEnabled(false);
  if (vbwRetCode == 0) vbwRetCode = kUnloaded;
}

void vbwShowFrmErrHandler() {
  if (!g_dialog) g_dialog.emplace();
  g_dialog->ShowModal();
}
