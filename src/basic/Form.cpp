#include "Form.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "Runtime.h"
#include "Text.h"

namespace basic {

namespace {

constexpr char kFormClass[] = "KorvellForm";
constexpr int kFirstControlId = 100;

struct IconRequest {
  int width, height;
  HICON icon;
};

// Loads the first icon group that the enumeration hands in, and ends it.
BOOL CALLBACK LoadFirstIcon(HMODULE module, LPCSTR, LPSTR name, LONG_PTR request) {
  auto& r = *reinterpret_cast<IconRequest*>(request);
  r.icon = static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, r.width, r.height, LR_SHARED));
  return FALSE;
}

// The program's own icon, the one Windows shows for its file (the first icon
// group among its resources), in the picture drawn for the size asked: the
// caption's small one is not the large one shrunk.
HICON ProgramIcon(int widthMetric, int heightMetric) {
  IconRequest request{GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), nullptr};
  EnumResourceNamesA(GetModuleHandleA(nullptr), RT_GROUP_ICON, LoadFirstIcon, reinterpret_cast<LONG_PTR>(&request));
  return request.icon;
}

std::vector<Form*>& LoadedForms() {
  static std::vector<Form*> forms;
  return forms;
}

void RegisterFormClass() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcA;  // replaced per window once its form is known
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // The face colour of the scheme at each painting: a brush of the system's
    // own would be one that the system deletes when the user changes scheme.
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFormClass;
    // Every form shows the program's icon. Given to the class rather than to
    // each window, Wine hands it to the display once, when the window is
    // made, instead of once for each size after (some 5 ms of the first
    // window's start).
    windowClass.hIcon = ProgramIcon(SM_CXICON, SM_CYICON);
    windowClass.hIconSm = ProgramIcon(SM_CXSMICON, SM_CYSMICON);
    return RegisterClassExA(&windowClass) != 0;
  }();
  (void)registered;
}

struct Native {
  const char* className;
  DWORD style;
  DWORD exStyle = 0;
};

Native NativeOf(const ControlSpec& c) {
  switch (c.kind) {
    case Kind::Label:
      return {"STATIC", SS_LEFT | SS_NOPREFIX};
    case Kind::CentredLabel:
      return {"STATIC", SS_CENTER | SS_NOPREFIX};
    case Kind::Button:
      return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
    case Kind::DefaultButton:
      return {"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP};
    case Kind::ProgressBar:
      return {PROGRESS_CLASSA, PBS_SMOOTH};
    case Kind::TreeView:
      return {WC_TREEVIEWA, WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
              WS_EX_CLIENTEDGE};
    case Kind::TextBox:
      return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Kind::PasswordBox:
      return {"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, WS_EX_CLIENTEDGE};
    case Kind::MultiLineBox:
      return {"EDIT", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE};
    case Kind::Custom:
      return {c.className, WS_TABSTOP};
    case Kind::Panel:
      break;
  }
  return {nullptr, 0};
}

int CALLBACK FontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The face asked for where the system has it, else the system's dialog face,
// whose metrics are closest to the classic sans-serif faces the forms name.
std::string LookUpFace(const std::wstring& face) {
  LOGFONTA wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(wanted.lfFaceName, ToAnsi(face).c_str(), LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExA(screen, &wanted, FontFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found ? wanted.lfFaceName : "MS Shell Dlg 2";
}

// Asking the system for a face takes a while under some systems: each face is
// looked up once per run.
std::string AvailableFace(const std::wstring& face) {
  static std::map<std::wstring, std::string> known;
  const auto it = known.find(face);
  return it != known.end() ? it->second : known[face] = LookUpFace(face);
}

// A window that is never shown: forms without a taskbar button belong to it.
HWND HiddenOwner() {
  static const HWND owner =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return owner;
}

// A control's rectangle in its parent's client coordinates.
RECT Bounds(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Whether two rectangles share some of their width: one can stand above the other.
bool InOneColumn(const RECT& a, const RECT& b) { return a.left < b.right && b.left < a.right; }

RECT WorkArea(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  return monitor.rcWork;
}

bool Encloses(const RECT& outer, const RECT& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

}  // namespace

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int TwipsToPixels(int twips) { return MulDiv(twips, ScreenDpi(), 1440); }

int PixelsToTwips(int pixels) { return (pixels * 1440 + ScreenDpi() - 1) / ScreenDpi(); }

int Scaled(int pixelsAt96) { return MulDiv(pixelsAt96, ScreenDpi(), 96); }

SIZE LabelTextSize(HWND label) {
  const int length = GetWindowTextLengthA(label);
  std::string text(size_t(length) + 1, '\0');
  text.resize(size_t(GetWindowTextA(label, text.data(), length + 1)));
  RECT client;
  GetClientRect(label, &client);
  HDC dc = GetDC(label);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
  RECT r{0, 0, client.right, 0};
  // As the static control draws it.
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  return {r.right - r.left, r.bottom - r.top};
}

Form::Form(const FormSpec& spec, std::span<const ControlSpec> controls, FontSpec font)
    : name_(spec.name), spec_(spec), controls_(controls.begin(), controls.end()), font_(font) {}

Form::~Form() {
  if (IsLoaded()) DestroyWindow(window_);
  std::erase(LoadedForms(), this);
}

const std::vector<Form*>& Form::Forms() { return LoadedForms(); }

void Form::Load() {
  if (IsLoaded()) return;
  RegisterFormClass();
  RECT frame{0, 0, TwipsToPixels(spec_.clientWidth), TwipsToPixels(spec_.clientHeight)};
  AdjustWindowRectEx(&frame, spec_.style, FALSE, spec_.exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = CreateWindowExA(spec_.exStyle, kFormClass, ToAnsi(spec_.caption).c_str(), spec_.style, x, y, width, height,
                            spec_.taskbarButton ? nullptr : HiddenOwner(), nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form::WindowProc));
  CreateControls();
  LoadedForms().push_back(this);
  Form_Load();
  FitLabelsToText();
}

void Form::CreateControls() {
  const HFONT formFont = formFont_ = Font(font_);
  for (size_t i = 0; i < controls_.size(); ++i) {
    const ControlSpec& c = controls_[i];
    const Native native = NativeOf(c);
    if (!native.className) {
      panels_[c.name] = RECT{TwipsToPixels(c.left), TwipsToPixels(c.top), TwipsToPixels(c.left + c.width),
                             TwipsToPixels(c.top + c.height)};
      continue;
    }
    const int id = kFirstControlId + int(i);
    HWND control = CreateWindowExA(native.exStyle, native.className, ToAnsi(c.text).c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | native.style, TwipsToPixels(c.left),
                                   TwipsToPixels(c.top), TwipsToPixels(c.width), TwipsToPixels(c.height), window_,
                                   reinterpret_cast<HMENU>(intptr_t(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(c.font ? Font(*c.font) : formFont), FALSE);
    if (c.iconId) {
      const HICON icon = static_cast<HICON>(
          LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.iconId), IMAGE_ICON, Scaled(32), Scaled(32), 0));
      icons_.emplace_back(icon);
      SendMessageA(control, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    byName_[c.name] = control;
    if (c.kind == Kind::DefaultButton) defaultButtonId_ = id;
  }
}

HFONT Form::Font(const FontSpec& spec) {
  LOGFONTA font{};
  font.lfHeight = -int(std::lround(spec.points * ScreenDpi() / 72.0));
  font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, AvailableFace(spec.face).c_str(), LF_FACESIZE);
  HFONT handle = CreateFontIndirectA(&font);
  fonts_.emplace_back(handle);
  return handle;
}

void Form::Show() {
  Load();
  ShowWindow(window_, SW_SHOWNORMAL);
  // Showing activates the window, which gives its first control the focus;
  // a window that could not become active still has it when it does.
  if (!IsChild(window_, GetFocus())) RestoreFocus();
  UpdateWindow(window_);
}

void Form::ShowModal() {
  HWND previous = GetActiveWindow();
  Load();
  // Like a modal dialog: the program's other windows wait until this one goes.
  std::vector<HWND> disabled;
  for (Form* other : LoadedForms()) {
    if (other != this && IsWindowEnabled(other->hWnd())) {
      EnableWindow(other->hWnd(), FALSE);
      disabled.push_back(other->hWnd());
    }
  }
  Show();
  SetForegroundWindow(window_);
  MSG msg;
  while (IsLoaded() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (RouteDialogMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (msg.message == WM_QUIT && IsLoaded()) PostQuitMessage(int(msg.wParam));
  for (HWND window : disabled)
    if (IsWindow(window)) EnableWindow(window, TRUE);
  // The window that was active when this one came was disabled when this
  // one went, so it did not get the activation back by itself.
  if (IsWindow(previous) && IsWindowEnabled(previous)) SetActiveWindow(previous);
}

void Form::Unload() {
  if (!IsLoaded()) return;
  Form_Unload();
  std::erase(LoadedForms(), this);
  HWND window = std::exchange(window_, nullptr);
  byName_.clear();
  panels_.clear();
  focus_ = nullptr;
  DestroyWindow(window);
  icons_.clear();
}

HWND Form::Control(const std::wstring& name) const {
  const auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

std::vector<std::pair<std::wstring, HWND>> Form::Controls() const {
  std::vector<std::pair<std::wstring, HWND>> controls;
  for (const ControlSpec& c : controls_)
    if (HWND window = Control(c.name)) controls.emplace_back(c.name, window);
  return controls;
}

int Form::ControlId(const std::wstring& name) const { return GetDlgCtrlID(Control(name)); }

void Form::SetText(const std::wstring& control, const std::wstring& text) {
  SetWindowTextA(Control(control), ToAnsi(text).c_str());
}

std::wstring Form::Text(const std::wstring& control) const {
  HWND window = Control(control);
  std::string text(size_t(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(size_t(GetWindowTextA(window, text.data(), int(text.size()))));
  return FromAnsi(text);
}

void Form::SetEnabled(const std::wstring& control, bool enabled) { EnableWindow(Control(control), enabled); }

bool Form::Enabled(const std::wstring& control) const { return IsWindowEnabled(Control(control)); }

void Form::SetVisible(const std::wstring& control, bool visible) {
  ShowWindow(Control(control), visible ? SW_SHOWNA : SW_HIDE);
}

bool Form::Visible(const std::wstring& control) const {
  return GetWindowLongA(Control(control), GWL_STYLE) & WS_VISIBLE;
}

void Form::Place(const std::wstring& control, int left, int top, int width, int height) {
  MoveWindow(Control(control), TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height),
             TRUE);
}

void Form::Focus(const std::wstring& control) {
  focus_ = Control(control);
  if (GetActiveWindow() == window_) SetFocus(focus_);
}

HWND Form::FocusedControl() const {
  const HWND focus = GetFocus();
  return IsChild(window_, focus) ? focus : focus_;
}

void Form::SetDefaultButton(const std::wstring& control) {
  if (HWND old = GetDlgItem(window_, defaultButtonId_)) SendMessageA(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  defaultButtonId_ = control.empty() ? 0 : ControlId(control);
  if (HWND now = GetDlgItem(window_, defaultButtonId_)) SendMessageA(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void Form::SizeAndCentre(int clientWidth, int clientHeight) {
  RECT frame{0, 0, TwipsToPixels(clientWidth), TwipsToPixels(clientHeight)};
  AdjustWindowRectEx(&frame, spec_.style, FALSE, spec_.exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const RECT work = WorkArea(window_);
  // A window larger than the work area keeps its top left corner in it.
  MoveWindow(window_, std::max<int>(work.left, (work.left + work.right - width) / 2),
             std::max<int>(work.top, (work.top + work.bottom - height) / 2), width, height, TRUE);
}

SIZE Form::LargestClient() const {
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, spec_.style, FALSE, spec_.exStyle);
  const RECT work = WorkArea(window_);
  return {(work.right - work.left) - (frame.right - frame.left), (work.bottom - work.top) - (frame.bottom - frame.top)};
}

void Form::Move(int x, int y) { SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }

bool Form::RouteDialogMessage(MSG& msg) {
  for (Form* form : LoadedForms()) {
    if (form->hWnd() == msg.hwnd || IsChild(form->hWnd(), msg.hwnd)) return IsDialogMessageA(form->hWnd(), &msg);
  }
  return false;
}

void Form::PaintPanels(HDC dc) {
  for (auto [name, r] : panels_) DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
}

namespace {

// A control or panel and where it stands, pixels.
struct Box {
  std::wstring name;
  Kind kind;
  HWND window;  // none for a panel
  RECT rect;
};

// After a box grew by `by` at its bottom: the panels around it grow with it,
// and whatever stands below it, or below such a panel, moves down.
void PushDown(std::vector<Box>& boxes, size_t grown, int by) {
  std::vector<RECT> above{boxes[grown].rect};
  for (Box& b : boxes) {
    if (b.kind != Kind::Panel || &b == &boxes[grown] || !Encloses(b.rect, above.front())) continue;
    above.push_back(b.rect);
    b.rect.bottom += by;
  }
  for (Box& b : boxes) {
    const bool below = std::any_of(above.begin(), above.end(),
                                   [&](const RECT& a) { return b.rect.top >= a.bottom && InOneColumn(a, b.rect); });
    if (below) OffsetRect(&b.rect, 0, by);
  }
  boxes[grown].rect.bottom += by;
}

int Lowest(const std::vector<Box>& boxes) {
  int lowest = 0;
  for (const Box& b : boxes) lowest = std::max<int>(lowest, b.rect.bottom);
  return lowest;
}

bool IsLabel(Kind kind) { return kind == Kind::Label || kind == Kind::CentredLabel; }

}  // namespace

void Form::FitLabelsToText() {
  std::vector<Box> boxes;
  for (const ControlSpec& c : controls_) {
    if (c.kind == Kind::Panel)
      boxes.push_back({c.name, c.kind, nullptr, panels_.at(c.name)});
    else if (HWND window = Control(c.name))
      boxes.push_back({c.name, c.kind, window, Bounds(window)});
  }
  // The margin below the lowest control stays, up to that of a dialog; a
  // form with more room than that below its controls grows only when needed,
  // and never beyond the work area: a label keeps what fits of its text.
  RECT client;
  GetClientRect(window_, &client);
  const int margin = std::min<int>(client.bottom - Lowest(boxes), Scaled(16));
  const int tallest = std::max<int>(client.bottom, LargestClient().cy);
  bool grew = false;
  for (size_t i = 0; i < boxes.size(); ++i) {
    const Box& b = boxes[i];
    if (!IsLabel(b.kind) || !(GetWindowLongA(b.window, GWL_STYLE) & WS_VISIBLE)) continue;
    const int by =
        std::min<int>(LabelTextSize(b.window).cy - int(b.rect.bottom - b.rect.top), tallest - margin - Lowest(boxes));
    if (by <= 0) continue;
    PushDown(boxes, i, by);
    grew = true;
  }
  if (!grew) return;
  for (const Box& b : boxes) {
    const RECT& r = b.rect;
    if (b.window)
      MoveWindow(b.window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    else
      panels_[b.name] = r;
  }
  GrowClient(std::max<int>(0, Lowest(boxes) + margin - client.bottom));
}

void Form::GrowClient(int by) {
  if (by <= 0) return;
  RECT frame;
  GetWindowRect(window_, &frame);
  const int height = frame.bottom - frame.top + by;
  const RECT work = WorkArea(window_);
  const int top = std::max<int>(work.top, std::min<int>(frame.top, work.bottom - height));
  SetWindowPos(window_, nullptr, frame.left, top, frame.right - frame.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window_, nullptr, TRUE);
}

bool Form::Message(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Form::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (Message(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && lParam) {
        const size_t index = size_t(LOWORD(wParam) - kFirstControlId);
        if (index < controls_.size()) Click(controls_[index].name);
        return 0;
      }
      if (LOWORD(wParam) == IDCANCEL) return 0;  // Esc closes nothing unless a form says so
      break;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(formFont_);
    case DM_GETDEFID:
      return defaultButtonId_ ? MAKELRESULT(defaultButtonId_, DC_HASDEFID) : 0;
    case WM_CTLCOLORSTATIC: {
      // Labels stand on the form's face, in the scheme's text for it.
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SYSCOLORCHANGE:
      // The user chose other colours: the common controls learn of it only
      // from the window they are on.
      for (const auto& [name, control] : byName_) SendMessageA(control, WM_SYSCOLORCHANGE, 0, 0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      PaintPanels(dc);
      Paint(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_ACTIVATE:
      // As a dialog does: the focus goes back to the control that had it.
      if (LOWORD(wParam) == WA_INACTIVE)
        RememberFocus();
      else if (!HIWORD(wParam))
        RestoreFocus();
      return 0;
    case WM_NEXTDLGCTL:
      // As in a dialog: a box of several lines hands Tab and Shift+Tab on to
      // its window, which would otherwise keep the keyboard in the box.
      NextControl(wParam, lParam);
      return 0;
    case WM_CLOSE:
      Unload();
      return 0;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

void Form::NextControl(WPARAM wParam, LPARAM lParam) {
  HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(window_, GetFocus(), wParam != 0);
  if (!next) return;
  SetFocus(next);
  if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(next, EM_SETSEL, 0, -1);
}

void Form::RememberFocus() {
  HWND focus = GetFocus();
  if (IsChild(window_, focus)) focus_ = focus;
}

// The control that last had the focus, else the first that takes it in tab
// order, else the window itself. An edit box gets its text selected.
void Form::RestoreFocus() {
  HWND target = focus_;
  if (!IsChild(window_, target) || !IsWindowVisible(target) || !IsWindowEnabled(target))
    target = GetNextDlgTabItem(window_, nullptr, FALSE);
  if (!target) target = window_;
  SetFocus(target);
  if (target != focus_ && (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
    SendMessageA(target, EM_SETSEL, 0, -1);
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form || form->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
  // Event procedures trap their own errors; whatever still escapes is
  // reported, and nothing may unwind into the system.
  try {
    return form->Dispatch(message, wParam, lParam);
  } catch (...) {
    ReportEscapedError(form->Name(), L"WindowProc");
    return 0;
  }
}

}  // namespace basic
