// Fonts sized in points for the output device they are drawn on.
#pragma once

#include <windows.h>

// Makes a font of the face at the size given in tenths of a point, bold or
// of normal weight, for the device of dc, sized from the device's physical
// resolution. The font is not selected into dc, and dc is left as it was.
// The caller deletes the font.
HFONT CreateTextFont(HDC dc, const char* face, int tenthsOfPoint, bool bold);

// The arithmetic of CreateTextFont, one step at a time.

// Dots per inch along one axis: pixels across the device over its size in
// millimetres, or its logical pixels per inch where the device reports no
// physical size.
float AxisDotsPerInch(int pixels, int millimetres, int logicalPixels);
// A size in tenths of a point as tenths of a device pixel, truncated.
int TenthsToDevice(int tenthsOfPoint, float dotsPerInch);
// The font height for a size whose y is given in tenths of a pixel: negative,
// so that it names the character height, rounded to whole pixels.
int FontHeightFor(int y);
