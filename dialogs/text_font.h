// Fonts sized in points for a given output device.
#pragma once

#include <windows.h>

// Style bits of CreateTextFont.
constexpr int kTextFontBold = 1;
constexpr int kTextFontItalic = 2;
constexpr int kTextFontUnderline = 4;
constexpr int kTextFontStrikeOut = 8;

// Makes a font of the face, height and width given in tenths of a point, for
// the device of dc; width 0 lets the font mapper choose the width. useLogPixels
// 0 takes the resolution from the device's physical size, non-zero from its
// logical pixels per inch. The font is not selected into dc, and dc is left
// as it was. The caller deletes the font.
HFONT CreateTextFont(HDC dc, const char* face, int height, int width, int style, int useLogPixels);

// The arithmetic of CreateTextFont, one step at a time.

// Dots per inch along one axis: pixels across the device over its size in
// millimetres, or its logical pixels per inch when useLogPixels is set or the
// device reports no physical size.
float AxisDotsPerInch(int pixels, int millimetres, int logicalPixels, int useLogPixels);
// A size in tenths of a point as tenths of a device pixel, truncated.
int TenthsToDevice(int tenthsOfPoint, float dotsPerInch);
// The font height for a size whose y is given in tenths of a pixel: negative,
// so that it names the character height, rounded to whole pixels.
int FontHeightFor(int y);
