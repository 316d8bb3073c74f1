#include "start_month.h"

#include "../errorreport/vbwTrap.h"
#include "Global.h"

using basic::ControlSpec;
using basic::Kind;

namespace {

constexpr int kMonthColumn = 2;

const basic::FontSpec kLabelFont{L"MS Sans Serif", 8.25, true};

constexpr const wchar_t* kInstruction = L"Please Tick The First Month Of Your Holiday Year";

// A screen reader reads the grid by its own text, the instruction above it.
const ControlSpec kControls[] = {
    {Kind::Panel, L"SSPanel1", 0, 0, 6570, 4875},
    // Across the whole panel, so that the text fits whatever the dialog font's width.
    {Kind::CentredLabel, L"Label1", 225, 225, 6105, 195, kInstruction, &kLabelFont},
    {Kind::Custom, L"vaSpread1", 2340, 540, 1830, 3135, kInstruction, nullptr, basic::CheckGrid::kClassName},
    {Kind::DefaultButton, L"cmdok", 2580, 4065, 1365, 345, L"O.K."},
};

const basic::FormSpec kForm{L"start_month", L"Korvell Ostrelle", 6555, 4845, WS_CAPTION | WS_SYSMENU};

}  // namespace

std::vector<int> RowsToUntick(int clicked, int rows) {
  std::vector<int> others;
  for (int i = 1; i <= rows; ++i)
    if (i != clicked) others.push_back(i);
  return others;
}

start_month::start_month() : Form(kForm, (basic::CheckGrid::Register(), kControls)) {}

std::vector<basic::Form::ModuleVariable> start_month::ModuleVariables() const {
  return {{L"current_year_flag", current_year_flag}, {L"clik_on", clik_on}};
}

void start_month::Form_Load() {
  vaSpread1.Attach(Control(L"vaSpread1"));
  vaSpread1.SetColumns({L"Month", L" "}, {1200, 600});
  vaSpread1.SetRows({L"January", L"February", L"March", L"April", L"May", L"June", L"July", L"August", L"September",
                     L"October", L"November", L"December"});
  vaSpread1.ButtonClicked = [this](int column, int row, bool down) { vaSpread1_ButtonClicked(column, row, down); };
  clik_on = 1;
}

void start_month::Click(const std::wstring& control) {
  if (control == L"cmdok") cmdok_Click();
}

void start_month::vaSpread1_ButtonClicked(int /*Col*/, int Row, bool /*ButtonDown*/) {
  vbwTrap trap(L"start_month", L"vaSpread1_ButtonClicked");
  if (clik_on != 1) return;
  trap(1, [&] { clik_on = 0; });
  for (int i : RowsToUntick(Row, vaSpread1.Rows())) trap(2, [&] { vaSpread1.SetChecked(i, false); });
  trap(3, [&] { clik_on = 1; });
}

void start_month::cmdok_Click() {
  vbwTrap trap(L"start_month", L"cmdok_Click");
  int month = 0;
  trap(1, [&] {
    for (int i = 1; i <= vaSpread1.Rows() && month == 0; ++i)
      if (vaSpread1.Text(kMonthColumn, i) == L"1") month = i;
  });
  if (month != 0) {
    trap(2, [&] { ini_value = std::to_wstring(month); });
    trap(3, [&] { WriteOffsetFile(net_dir + L"\\" + kOffsetFile, month); });
  }
  trap(4, [&] { Unload(); });
}
