#include "frmProcessing.h"

#include <commctrl.h>

#include "../basic/Handles.h"
#include "../basic/Text.h"

using basic::ControlSpec;
using basic::Kind;
using basic::TwipsToPixels;

namespace {

constexpr const wchar_t* kSubtitle = L"Preparing the holiday year...";

// A screen reader reads the bar by its own text: what the picture says of it.
const ControlSpec kControls[] = {
    {Kind::ProgressBar, L"ProgressBar1", 60, 900, 3975, 240, kSubtitle},
};

const basic::FormSpec kForm{L"frmProcessing", L"Korvell Ostrelle", 4080, 1605, WS_CAPTION};

void DrawTitle(HDC dc, const RECT& area, const char* text, int points, int weight, COLORREF colour) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  const basic::UniqueGdi font(
      CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, "Tahoma"));
  const HGDIOBJ old = SelectObject(dc, font.get());
  SetTextColor(dc, colour);
  RECT r = area;
  DrawTextA(dc, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  SelectObject(dc, old);
}

}  // namespace

void ProgressBar::Attach(HWND control, int min, int max) {
  control_ = control;
  SendMessageA(control_, PBM_SETRANGE32, WPARAM(min), LPARAM(max));
  value_ = min;
  Refresh();
}

void ProgressBar::Refresh() {
  SendMessageA(control_, PBM_SETPOS, WPARAM(value_), 0);
  UpdateWindow(control_);
}

frmProcessing::frmProcessing() : Form(kForm, kControls) {}

void frmProcessing::Form_Load() { ProgressBar1.Attach(Control(L"ProgressBar1"), 0, kMax); }

// The picture: a band in the planner's colours with a calendar and a title.
// The band's lighter end is still dark enough for the title to be read on it
// (above 5:1), in any colour scheme.
void frmProcessing::Paint(HDC dc) {
  RECT band{0, 0, TwipsToPixels(4080), TwipsToPixels(840)};
  TRIVERTEX corners[2] = {{band.left, band.top, 0x1f00, 0x4e00, 0x8c00, 0},
                          {band.right, band.bottom, 0x2a00, 0x5f00, 0xa000, 0}};
  GRADIENT_RECT gradient{0, 1};
  // gdi32's own, which the gradient library only forwards to: that library
  // is not one that the system always loads from its own folder.
  GdiGradientFill(dc, corners, 2, &gradient, 1, GRADIENT_FILL_RECT_H);

  const int unit = TwipsToPixels(60);
  RECT page{unit * 2, unit * 2, unit * 10, unit * 12};
  FillRect(dc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const basic::UniqueGdi red(CreateSolidBrush(RGB(0xc8, 0x32, 0x2d)));
  RECT top{page.left, page.top, page.right, page.top + unit * 3};
  FillRect(dc, &top, static_cast<HBRUSH>(red.get()));
  const basic::UniqueGdi blue(CreateSolidBrush(RGB(0x1f, 0x4e, 0x8c)));
  for (int row = 0; row < 2; ++row)
    for (int column = 0; column < 3; ++column) {
      RECT day{page.left + unit * (1 + 2 * column) + unit / 2, page.top + unit * (4 + 3 * row),
               page.left + unit * (2 + 2 * column) + unit / 2, page.top + unit * (5 + 3 * row)};
      FillRect(dc, &day, static_cast<HBRUSH>(blue.get()));
    }

  SetBkMode(dc, TRANSPARENT);
  RECT title{unit * 12, 0, band.right, band.bottom / 2 + unit};
  DrawTitle(dc, title, "Korvell", 14, FW_BOLD, RGB(255, 255, 255));
  RECT subtitle{unit * 12, band.bottom / 2, band.right, band.bottom};
  DrawTitle(dc, subtitle, basic::ToAnsi(kSubtitle).c_str(), 9, FW_NORMAL, RGB(0xe8, 0xf0, 0xff));
}
