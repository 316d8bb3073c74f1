// The wizard's forms as the in-process tests show them.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "basic/Handles.h"
#include "basic/Runtime.h"
#include "basic/Text.h"
#include "errorreport/vbwErrHandler.h"
#include "errorreport/vbwFrmErrHandler.h"
#include "network/frmNWCheck.h"
#include "support/WizardDriver.h"
#include "wizard/Global.h"
#include "wizard/start_month.h"

inline std::string Narrow(const std::wstring& text) { return basic::ToAnsi(text); }

// The control of the form that has the focus, by name.
inline std::wstring Focused(const basic::Form& form) {
  for (const auto& [name, control] : form.Controls())
    if (GetFocus() == control) return name;
  return GetFocus() == form.hWnd() ? L"(the window)" : L"(elsewhere)";
}

// A key as the keyboard sends it to the control that has the focus, with
// Shift held where asked.
inline void Press(UINT key, bool shift = false) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  driver::PressKey(GetFocus(), key);
  basic::DoEvents();
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

// A window of the test's own that takes the activation from a form, as
// another program's window does, for as long as it lives. One that keeps
// the foreground lets no other window of the thread become active meanwhile,
// as a program in front keeps a window that opens behind it.
class AnotherProgram {
 public:
  explicit AnotherProgram(bool keepsTheForeground = false)
      : window_(CreateWindowExA(0, "STATIC", "Another program", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr)) {
    SetActiveWindow(window_.get());
    basic::DoEvents();
    if (keepsTheForeground) hook_ = SetWindowsHookExA(WH_CBT, KeepTheForeground, nullptr, GetCurrentThreadId());
  }
  ~AnotherProgram() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }

 private:
  static LRESULT CALLBACK KeepTheForeground(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_ACTIVATE ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
  }
  basic::UniqueWindow window_;
  HHOOK hook_ = nullptr;
};

// The selector as the slave start-up opens it: nothing chosen, no share seen.
inline void ShowFreshSelector(frmNWCheck& form) {
  networkdriveunc.clear();
  UserPassword.clear();
  networkdriveprotected = InShareRoot = ObrinShared = false;
  form.Show();
}

// The longest description of an error that the wizard writes, on one line: a
// data folder setting refused.
constexpr const wchar_t* kLongestDescription =
    L"The setting \"NetDir\" under HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillon\\Network Korvell holds \"Korvell\\dats\", "
    L"which is not the full path of a folder: give the data folder with its drive, such as C:\\Korvell\\dats, or as "
    L"a network path, such as \\\\MASTER\\KORVELL\\dats.";

// The error dialog as the handler shows it for an error of this number in
// Global.Main, before a report or after it.
inline void ShowErrorDialog(vbwFrmErrHandler& dialog, int32_t number, bool reported,
                            const std::wstring& description = L"Something failed") {
  vbwMessageString = vbwComposeMessage(number, description, L"Tamsel", L"Global", L"Main", 12);
  vbwfHasReported = reported;
  vbwRetCode = 0;
  dialog.Show();
}

// Whether the whole window is in the work area of the screen, beside any task bar.
inline bool InTheWorkArea(HWND window) {
  RECT work, rect, inside;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(window, &rect);
  return IntersectRect(&inside, &rect, &work) && EqualRect(&inside, &rect);
}

// The start month, shown over a data folder of the test's own.
class StartMonthShown : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / "korvell-start-month";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    net_dir = folder.wstring();
    form.Show();
  }
  void TearDown() override {
    form.Unload();
    std::filesystem::remove_all(folder);
  }
  std::filesystem::path folder;
  start_month form;
};
