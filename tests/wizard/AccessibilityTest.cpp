// Every window as a screen reader reads it, through the platform's
// accessibility layer, and as a user who has only the keyboard goes through
// it. Under Wine the layer names an edit box by the label before it, a button
// by its caption, and a tree or a progress bar only by its own text.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <oleacc.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "basic/ComPtr.h"
#include "basic/Runtime.h"
#include "basic/Text.h"
#include "errorreport/vbwFrmErrHandler.h"
#include "network/frmNWCheck.h"
#include "network/frmPassword.h"
#include "support/FormsUnderTest.h"
#include "support/WizardDriver.h"
#include "wizard/Continue.h"
#include "wizard/Global.h"
#include "wizard/frmProcessing.h"
#include "wizard/start_month.h"

namespace {

using basic::ComPtr;

VARIANT Child(LONG id) {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

// A control's object as a reader asks for it.
ComPtr<IAccessible> Read(HWND control) {
  ComPtr<IAccessible> object;
  AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(object.put()));
  return object;
}

std::string Name(IAccessible* object, LONG child = CHILDID_SELF) {
  BSTR name = nullptr;
  if (!object || object->get_accName(Child(child), &name) != S_OK || !name) return {};
  const std::string text = basic::ToAnsi(std::wstring(name, SysStringLen(name)));
  SysFreeString(name);
  return text;
}

LONG Number(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, VARIANT*), LONG child) {
  VARIANT value;
  VariantInit(&value);
  if (!object || (object->*property)(Child(child), &value) != S_OK || value.vt != VT_I4) return -1;
  return value.lVal;
}
LONG Role(IAccessible* object, LONG child = CHILDID_SELF) { return Number(object, &IAccessible::get_accRole, child); }
LONG State(IAccessible* object, LONG child = CHILDID_SELF) { return Number(object, &IAccessible::get_accState, child); }

// The name each control that takes input, or shows progress, is read by.
struct Named {
  const wchar_t* control;
  const char* name;
};

// Every such control of the form is in the list, and is read by its name.
void ExpectNamed(const basic::Form& form, const std::vector<Named>& names) {
  SCOPED_TRACE(Narrow(form.Name()));
  for (const auto& [name, control] : form.Controls()) {
    const bool takesInput = IsWindowVisible(control) && (GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP);
    const auto listed = std::find_if(names.begin(), names.end(), [&](const Named& n) { return name == n.control; });
    if (listed == names.end()) {
      EXPECT_FALSE(takesInput) << Narrow(name) << " takes input but has no name in the list";
      continue;
    }
    EXPECT_EQ(Name(Read(control).get()), listed->name) << Narrow(name);
  }
}

// The focus and state changes that a reader is told of, for one window.
class WinEvents {
 public:
  explicit WinEvents(HWND window) {
    window_ = window;
    seen_.clear();
    hook_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr, &WinEvents::Record,
                            GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  }
  ~WinEvents() { UnhookWinEvent(hook_); }
  WinEvents(const WinEvents&) = delete;
  WinEvents& operator=(const WinEvents&) = delete;

  // Whether the event came for this child of the window's client area.
  static bool Seen(DWORD event, LONG child) {
    basic::DoEvents();
    return std::find(seen_.begin(), seen_.end(), std::tuple{event, child}) != seen_.end();
  }

 private:
  static void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (window == window_ && object == OBJID_CLIENT) seen_.emplace_back(event, child);
  }
  inline static HWND window_ = nullptr;
  inline static std::vector<std::tuple<DWORD, LONG>> seen_;
  HWINEVENTHOOK hook_;
};

TEST(ReadByAScreenReader, TheSharingInstructionAndTheProgress) {
  Continue instruction;
  instruction.Show();
  ExpectNamed(instruction, {{L"Command1", "O.K."}});
  instruction.Unload();
  frmProcessing progress;
  progress.Show();
  ExpectNamed(progress, {{L"ProgressBar1", "Preparing the holiday year..."}});
  progress.Unload();
}

TEST_F(StartMonthShown, TheGridIsAListOfTwelveMonthsThatCanBeTicked) {
  constexpr const char* kInstruction = "Please Tick The First Month Of Your Holiday Year";
  ExpectNamed(form, {{L"vaSpread1", kInstruction}, {L"cmdok", "O.K."}});
  const ComPtr<IAccessible> grid = Read(form.Control(L"vaSpread1"));
  ASSERT_TRUE(grid);
  EXPECT_EQ(Role(grid.get()), ROLE_SYSTEM_LIST);
  LONG count = 0;
  grid->get_accChildCount(&count);
  ASSERT_EQ(count, 12);
  const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                           "July",    "August",   "September", "October", "November", "December"};
  for (LONG month = 1; month <= 12; ++month) {
    EXPECT_EQ(Name(grid.get(), month), kMonths[month - 1]);
    EXPECT_EQ(Role(grid.get(), month), ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_FALSE(State(grid.get(), month) & STATE_SYSTEM_CHECKED) << month;
  }
}

TEST_F(StartMonthShown, MovesAndTicksByKeyboardAreToldAndRead) {
  const WinEvents events(form.Control(L"vaSpread1"));
  const ComPtr<IAccessible> grid = Read(form.Control(L"vaSpread1"));
  Press(VK_DOWN);
  Press(VK_DOWN);
  EXPECT_TRUE(WinEvents::Seen(EVENT_OBJECT_FOCUS, 3));
  EXPECT_TRUE(State(grid.get(), 3) & STATE_SYSTEM_FOCUSED);
  Press(VK_SPACE);
  EXPECT_TRUE(WinEvents::Seen(EVENT_OBJECT_STATECHANGE, 3));
  EXPECT_TRUE(State(grid.get(), 3) & STATE_SYSTEM_CHECKED);
  // Up as far as it goes stays on January, and Space ticks it in March's place.
  for (int i = 0; i < 3; ++i) Press(VK_UP);
  Press(VK_SPACE);
  EXPECT_TRUE(form.vaSpread1.Checked(1));
  EXPECT_FALSE(State(grid.get(), 3) & STATE_SYSTEM_CHECKED);
  EXPECT_TRUE(WinEvents::Seen(EVENT_OBJECT_STATECHANGE, 1));
}

TEST(ReadByAScreenReader, TheNetworkSelectorAndThePasswordPrompt) {
  frmNWCheck& selector = frmNWCheck::Instance();
  ShowFreshSelector(selector);
  ExpectNamed(selector,
              {{L"tvwNetwork",
                "Expand the tree and select the Korvell folder on the master machine, then click the Confirm Icon "
                "----->"},
               {L"txtPath", "Or type the master folder, for example \\\\MASTER\\KORVELL:"},
               {L"cmdMapDrive", "Confirm"},
               {L"cmdExit", "Exit"},
               {L"cmdPassword", "Password"}});
  selector.Unload();
  networkdriveunc = L"\\\\MASTER\\Private";
  frmPassword prompt;
  prompt.Show();
  ExpectNamed(prompt,
              {{L"txtPassword", "Password:"}, {L"txtUser", "User name:"}, {L"cmdOk", "OK"}, {L"cmdCancel", "Cancel"}});
  prompt.Unload();
}

class ErrorDialogRead : public ::testing::Test {
 protected:
  void TearDown() override {
    if (dialog.IsLoaded()) dialog.Unload();
  }
  vbwFrmErrHandler dialog;
};

TEST_F(ErrorDialogRead, TheDescriptionIsNamedForWhatItAsksAndTabLeavesItBothWays) {
  ShowErrorDialog(dialog, 5, false);
  ExpectNamed(dialog, {{L"cmdSendMail", "Report Error"},
                       {L"txtDescribe", "What were you doing when this error occurred?"},
                       {L"cmdAction(3)", "Close"}});
  SetFocus(dialog.Control(L"txtDescribe"));
  Press(VK_TAB);
  EXPECT_EQ(Focused(dialog), L"cmdAction(3)");
  SetFocus(dialog.Control(L"txtDescribe"));
  Press(VK_TAB, true);
  EXPECT_EQ(Focused(dialog), L"cmdSendMail");
  EXPECT_EQ(dialog.Text(L"txtDescribe"), vbwFrmErrHandler::kPlaceholder) << "Tab went into the text";
}

// After the highlight the box has the focus, or has it as soon as the user
// comes to the dialog, unless the user moved it to another control: a
// keyboard user who went on to a button keeps it. No focus, or the dialog's
// own, is none that the user gave: the dialog opened behind another
// program's window.
TEST_F(ErrorDialogRead, TheHighlightGivesTheBoxTheFocusUnlessTheUserMovedIt) {
  // Behind another program, where the user put the focus ("" the dialog itself), where it ends.
  const std::tuple<bool, const wchar_t*, const wchar_t*> cases[] = {
      {false, L"cmdAction(3)", L"cmdAction(3)"}, {false, L"", L"txtDescribe"}, {true, nullptr, L"txtDescribe"}};
  for (const auto& [behind, focus, expected] : cases) {
    {
      std::optional<AnotherProgram> inFront;
      if (behind) inFront.emplace(true);
      ShowErrorDialog(dialog, 5, false);
      if (focus) SetFocus(*focus ? dialog.Control(focus) : dialog.hWnd());
      dialog.tmrHighlight_Timer();
      dialog.tmrHighlight_Timer();
    }
    SetActiveWindow(dialog.hWnd());
    basic::DoEvents();
    EXPECT_EQ(Focused(dialog), expected) << behind << " " << Narrow(focus ? focus : L"(none)");
    dialog.Unload();
  }
}

}  // namespace
