// A form: a top-level window whose controls come from a layout table in
// twips, scaled to the screen's DPI. Event procedures are virtual methods
// named control + "_" + event; the window procedure calls them and never lets
// an exception through to the system.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "Handles.h"
#include "Variant.h"

namespace basic {

struct FontSpec {
  const wchar_t* face;
  double points;
  bool bold = false;
};

enum class Kind {
  Label,          // static text, wrapped
  CentredLabel,   // static text, wrapped and centred
  Button,         // push button
  DefaultButton,  // push button that Enter presses
  ProgressBar,
  TreeView,
  TextBox,       // one-line text box
  PasswordBox,   // one-line text box that masks what is typed
  MultiLineBox,  // text box of several lines, Enter makes a new line
  Panel,         // raised three-dimensional panel, painted by the form
  Custom,        // a window of the class the table names
};

struct ControlSpec {
  Kind kind;
  const wchar_t* name;
  int left, top, width, height;  // twips
  const wchar_t* text = L"";
  const FontSpec* font = nullptr;   // the form's font when none
  const char* className = nullptr;  // for Kind::Custom
  int iconId = 0;                   // a button's picture, from the program's resources
};

struct FormSpec {
  const wchar_t* name;
  const wchar_t* caption;
  int clientWidth, clientHeight;  // twips
  DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  DWORD exStyle = 0;
  bool taskbarButton = true;
};

// The screen's dots per inch, as the program sees it (it declares itself
// aware of the DPI, so this is the user's setting, not always 96).
int ScreenDpi();
// Pixels for a length in twips on this screen.
int TwipsToPixels(int twips);
// Twips for a length in pixels on this screen, rounded up: converted back,
// it gives at least as many pixels.
int PixelsToTwips(int pixels);
// A size in pixels drawn for 96 DPI (images, check boxes), at this screen's DPI.
int Scaled(int pixelsAt96);
// The size a label's text takes in the label's font, wrapped at its width.
SIZE LabelTextSize(HWND label);

using UniqueIcon = UniqueOf<HICON, DestroyIcon>;

class Form : public Object {
 public:
  Form(const FormSpec& spec, std::span<const ControlSpec> controls, FontSpec font = {L"MS Sans Serif", 8.25});
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  void Load();       // creates the window and its controls, then Form_Load
  void Show();       // loads if needed and shows without waiting
  void ShowModal();  // loads if needed, shows, and returns once the form is unloaded
  void Unload();     // Form_Unload, then the window goes
  bool IsLoaded() const { return window_ != nullptr; }

  HWND hWnd() const { return window_; }
  HWND Control(const std::wstring& name) const;
  // The controls that have a window, in the order of the layout table; none
  // while the form is not loaded.
  std::vector<std::pair<std::wstring, HWND>> Controls() const;
  const std::wstring& Name() const { return name_; }
  std::wstring ClassName() const override { return name_; }
  void SetText(const std::wstring& control, const std::wstring& text);
  std::wstring Text(const std::wstring& control) const;
  void SetEnabled(const std::wstring& control, bool enabled);
  void SetVisible(const std::wstring& control, bool visible);
  bool Visible(const std::wstring& control) const;
  // Where a panel stands in the client area; pixels.
  RECT PanelRect(const std::wstring& panel) const { return panels_.at(panel); }
  // Moves and sizes a control; twips.
  void Place(const std::wstring& control, int left, int top, int width, int height);
  // Gives a control the focus; while another window is active, the form
  // gives it the focus when it is active again.
  void Focus(const std::wstring& control);
  // The control that has the focus, or that gets it back when the form is
  // active again; none when the focus is on the form itself or nowhere.
  HWND FocusedControl() const;
  // The button that Enter presses; none for an empty name.
  void SetDefaultButton(const std::wstring& control);
  bool Enabled(const std::wstring& control) const;

  // Every loaded form, in the order of loading.
  static const std::vector<Form*>& Forms();
  // Keyboard navigation (Tab, Enter, Esc) for the message if it belongs to a form.
  static bool RouteDialogMessage(MSG& msg);

 protected:
  virtual void Form_Load() {}
  virtual void Form_Unload() {}
  // A push button was clicked (or pressed with the keyboard).
  virtual void Click(const std::wstring& control) { (void)control; }
  // Paints what the form draws itself (panels are drawn already).
  virtual void Paint(HDC dc) { (void)dc; }
  // Messages a form handles itself; return true when handled.
  virtual bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  void Move(int x, int y);  // pixels, top-left corner of the window
  // Grows each visible label to the height its text needs, pushes what lies
  // below it down by as much, and makes the client area taller where the
  // controls would no longer fit, as far as the work area allows.
  void FitLabelsToText();
  // Makes the client area `by` pixels taller; the window keeps its top left
  // corner, or moves up as far as it must to end in the work area.
  void GrowClient(int by);
  // Sizes the client area (twips) and centres the window in the work area
  // of its monitor, the part of the screen that no task bar covers.
  void SizeAndCentre(int clientWidth, int clientHeight);
  // The largest client area, pixels, whose window fits in that work area.
  SIZE LargestClient() const;
  int ControlId(const std::wstring& name) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  HFONT Font(const FontSpec& spec);
  void PaintPanels(HDC dc);
  void NextControl(WPARAM wParam, LPARAM lParam);
  void RememberFocus();
  void RestoreFocus();

  std::wstring name_;
  FormSpec spec_;
  std::vector<ControlSpec> controls_;
  FontSpec font_;
  HWND window_ = nullptr;
  std::map<std::wstring, HWND> byName_;
  std::vector<UniqueGdi> fonts_;
  std::vector<UniqueIcon> icons_;
  std::map<std::wstring, RECT> panels_;  // pixels; the form paints them
  HWND focus_ = nullptr;                 // the control that had the focus when the form was last active
  int defaultButtonId_ = 0;
  HFONT formFont_ = nullptr;
};

}  // namespace basic
