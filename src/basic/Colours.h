// The user's colour scheme, as the forms draw their texts in it. A colour of
// the program's own (a red explanation, a highlighted box) is used only where
// the scheme leaves room for it, and never at a contrast too low to read.
#pragma once
#include <windows.h>

namespace basic {

// What text needs against its background to be read with low vision (4.5:1).
inline constexpr double kLegibleContrast = 4.5;

// The contrast of two colours, from 1 (the same) to 21 (black and white), by
// their relative luminance in sRGB.
double Contrast(COLORREF a, COLORREF b);

// Whether the user reads the screen in a high-contrast scheme: one chosen as
// such, or one whose texts are lighter than the faces they stand on, where
// colours made for the usual light faces would not show.
bool HighContrast();

// The program's own colour in the usual schemes; in a high-contrast one the
// scheme's colour of that index.
COLORREF OwnColour(COLORREF own, int systemColour);

// The colour, taken towards black or white only as far as the background
// needs for it to be read at kLegibleContrast.
COLORREF Legible(COLORREF colour, COLORREF background);

}  // namespace basic
