#include "frmPassword.h"

#include "../errorreport/vbwTrap.h"
#include "../wizard/Global.h"
#include "frmNWCheck.h"

using basic::ControlSpec;
using basic::Kind;

namespace {

// In tab order: the order of the table is the order of the tab key.
const ControlSpec kControls[] = {
    {Kind::Label, L"Label1", 240, 120, 3855, 255, L"You must supply a password to make this connection"},
    {Kind::Label, L"Label2", 240, 600, 1035, 255, L"Resource:"},
    {Kind::PasswordBox, L"txtPassword", 1500, 960, 2235, 315},
    {Kind::Button, L"cmdOk", 4860, 120, 1035, 315, L"OK"},
    {Kind::Button, L"cmdCancel", 4860, 540, 1035, 315, L"Cancel"},
    {Kind::Label, L"Label3", 240, 1020, 1035, 255, L"Password:"},
    {Kind::Label, L"lblResource", 1560, 600, 2115, 255},
};

const basic::FormSpec kForm{L"frmPassword", L"Enter Network Password", 6075, 1485, WS_CAPTION | WS_SYSMENU};

}  // namespace

frmPassword::frmPassword() : Form(kForm, kControls) {}

void frmPassword::Form_Load() {
  vbwTrap trap(L"frmPassword", L"Form_Load");
  trap(1, [&] { SetText(L"lblResource", networkdriveunc); });
  trap(2, [&] { SetText(L"txtPassword", UserPassword); });
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

void frmPassword::cmdOk_Click() {
  vbwTrap trap(L"frmPassword", L"cmdOk_Click");
  trap(1, [&] { UserPassword = Text(L"txtPassword"); });
  if (!UserPassword.empty()) trap(2, [] { frmNWCheck::Instance().SetEnabled(L"cmdMapDrive", true); });
  trap(3, [&] { Unload(); });
}

void frmPassword::cmdCancel_Click() {
  vbwTrap trap(L"frmPassword", L"cmdCancel_Click");
  trap(1, [&] { Unload(); });
}
