#include "Continue.h"

#include "../errorreport/vbwTrap.h"

using basic::ControlSpec;
using basic::Kind;

namespace {

const basic::FontSpec kLabelFont{L"MS Sans Serif", 9.75};

const ControlSpec kControls[] = {
    // No wider than the form, which would cut off the ends of its lines; the
    // form makes it as high as its lines need.
    {Kind::Label, L"Label1", 0, 105, 2505, 1725,
     L"Make Sure The Highlighted Folder Is Shared Fully - Right Click On The Folder, Left Click On Sharing, Then "
     L"Click On 'Shared As' And Make Sure 'Access Type' Is Full",
     &kLabelFont},
    // Three lines high, so that the text fits whatever the dialog font's width.
    {Kind::Label, L"Label2", 0, 2520, 2490, 675, L"Click On O.K. Below Once You Have Done This", &kLabelFont},
    {Kind::DefaultButton, L"Command1", 525, 4620, 1440, 390, L"O.K."},
};

const basic::FormSpec kForm{L"Continue", L"Korvell Ostrelle", 2505, 8235, WS_CAPTION | WS_SYSMENU};

}  // namespace

Continue::Continue() : Form(kForm, kControls) {}

void Continue::Form_Load() {
  vbwTrap trap(L"Continue", L"Form_Load");
  trap(1, [&] { Move(0, 0); });
  trap(2, [&] { SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE); });
}

void Continue::Click(const std::wstring& control) {
  if (control == L"Command1") Command1_Click();
}

void Continue::Command1_Click() {
  vbwTrap trap(L"Continue", L"Command1_Click");
  trap(1, [&] { Unload(); });
}
