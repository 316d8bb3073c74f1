#include "Colours.h"

#include <algorithm>
#include <cmath>

namespace basic {

namespace {

double Linear(BYTE channel) {
  const double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(COLORREF colour) {
  return 0.2126 * Linear(GetRValue(colour)) + 0.7152 * Linear(GetGValue(colour)) + 0.0722 * Linear(GetBValue(colour));
}

BYTE Mix(BYTE from, BYTE to, int step, int steps) { return BYTE(from + (to - from) * step / steps); }

}  // namespace

double Contrast(COLORREF a, COLORREF b) {
  const double first = Luminance(a), second = Luminance(b);
  return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

bool HighContrast() {
  HIGHCONTRASTA chosen{};
  chosen.cbSize = sizeof chosen;
  if (SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof chosen, &chosen, 0) && (chosen.dwFlags & HCF_HIGHCONTRASTON))
    return true;
  return Luminance(GetSysColor(COLOR_BTNTEXT)) > Luminance(GetSysColor(COLOR_BTNFACE));
}

COLORREF OwnColour(COLORREF own, int systemColour) { return HighContrast() ? GetSysColor(systemColour) : own; }

// Black or white, whichever stands out more, always reaches the contrast
// asked for; the colour goes towards it in small steps and stops at the first
// that is enough.
COLORREF Legible(COLORREF colour, COLORREF background) {
  const COLORREF target = Contrast(0, background) >= Contrast(0xFFFFFF, background) ? 0 : 0xFFFFFF;
  constexpr int kSteps = 32;
  for (int step = 0; step < kSteps; ++step) {
    const COLORREF mixed = RGB(Mix(GetRValue(colour), GetRValue(target), step, kSteps),
                               Mix(GetGValue(colour), GetGValue(target), step, kSteps),
                               Mix(GetBValue(colour), GetBValue(target), step, kSteps));
    if (Contrast(mixed, background) >= kLegibleContrast) return mixed;
  }
  return target;
}

}  // namespace basic
