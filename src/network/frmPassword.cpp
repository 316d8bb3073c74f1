#include "frmPassword.h"

#include <cctype>
#include <utility>

#include "../basic/Runtime.h"
#include "../basic/Text.h"
#include "../errorreport/vbwTrap.h"
#include "../wizard/Global.h"
#include "SharePaths.h"
#include "frmNWCheck.h"

using basic::ControlSpec;
using basic::Kind;

namespace {

// The password box comes first of the controls that take the focus, so the
// prompt opens with the caret in it; the user name, last, is then reached by
// Tab from Cancel and goes on to the password: user name, password, OK,
// Cancel, round and round.
const ControlSpec kControls[] = {
    {Kind::Label, L"Label1", 240, 120, 3855, 255, L"You must supply a password to make this connection"},
    {Kind::Label, L"Label2", 240, 600, 1035, 255, L"Resource:"},
    {Kind::Label, L"lblResource", 1560, 600, 2115, 255},
    {Kind::Label, L"Label3", 240, 1440, 1035, 255, L"Password:"},
    {Kind::PasswordBox, L"txtPassword", 1500, 1380, 2235, 315},
    {Kind::Button, L"cmdOk", 4860, 120, 1035, 315, L"OK"},
    {Kind::Button, L"cmdCancel", 4860, 540, 1035, 315, L"Cancel"},
    {Kind::Label, L"Label4", 240, 1020, 1035, 255, L"User name:"},
    {Kind::TextBox, L"txtUser", 1500, 960, 2235, 315},
};

const basic::FormSpec kForm{L"frmPassword", L"Enter Network Password", 6075, 1905, WS_CAPTION | WS_SYSMENU};

// The system's own words for an error code.
std::wstring SystemText(DWORD code) {
  char* text = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message(text ? text : "", length);
  LocalFree(text);
  while (!message.empty() && std::isspace(static_cast<unsigned char>(message.back()))) message.pop_back();
  return message.empty() ? L"Error " + std::to_wstring(code) : basic::FromAnsi(message);
}

}  // namespace

frmPassword::frmPassword() : Form(kForm, kControls) {}

void frmPassword::Form_Load() {
  vbwTrap trap(L"frmPassword", L"Form_Load");
  trap(1, [&] { SetText(L"lblResource", networkdriveunc); });
}

void frmPassword::Click(const std::wstring& control) {
  if (control == L"cmdOk")
    cmdOk_Click();
  else if (control == L"cmdCancel")
    cmdCancel_Click();
}

// Neither button is the window's default or cancel button, yet Enter and Esc
// answer the prompt as they do any dialog's: the keyboard's own commands
// come without a control.
bool frmPassword::Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_COMMAND || lParam || HIWORD(wParam) != BN_CLICKED) return false;
  if (LOWORD(wParam) == IDOK)
    cmdOk_Click();
  else if (LOWORD(wParam) == IDCANCEL)
    cmdCancel_Click();
  else
    return false;
  result = 0;
  return true;
}

// A share counts as opened only when its folder opens: a connection alone
// may still leave the folder closed to this machine.
void frmPassword::cmdOk_Click() {
  vbwTrap trap(L"frmPassword", L"cmdOk_Click");
  DWORD refusal = 0;
  bool opens = false;
  trap(1, [&] { refusal = ConnectWithTypedPassword(); });
  if (refusal) {
    trap(2, [&] { TryAgain(L"Cannot connect to " + networkdriveunc + L":\r\n" + SystemText(refusal)); });
    return;
  }
  trap(3, [&] { opens = sharepaths::FolderTest(networkdriveunc); });
  if (!opens) {
    trap(4, [&] { TryAgain(L"Connected to " + networkdriveunc + L", but its folder still cannot be opened."); });
    return;
  }
  trap(5, [] { networkdriveprotected = false; });
  trap(6, [] { frmNWCheck::Instance().ApplyButtonRule(); });
  trap(7, [&] { Unload(); });
}

void frmPassword::cmdCancel_Click() {
  vbwTrap trap(L"frmPassword", L"cmdCancel_Click");
  trap(1, [&] { Unload(); });
}

// The box is emptied before the call, so that it never shows the password
// again, whatever the call does.
DWORD frmPassword::ConnectWithTypedPassword() {
  const sharepaths::Wiped password(Text(L"txtPassword"));
  SetText(L"txtPassword", L"");
  return sharepaths::Connect(networkdriveunc, Text(L"txtUser"), password.text);
}

void frmPassword::TryAgain(const std::wstring& why) {
  basic::MsgBox(why, MB_OK | MB_ICONEXCLAMATION, kForm.caption, hWnd());
  SetFocus(Control(L"txtPassword"));
}
