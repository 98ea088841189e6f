#include "dialogs/text_font.h"

#include <cstdlib>

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr int kPointsPerInch = 72;
constexpr LONG kBoldWeight = 700;

// Puts the DC into a known coordinate state, so that DPtoLP sees only its
// mapping mode. Windows 95/98 have no advanced graphics mode and refuse the
// first two calls; the origins alone then do the job there, and the caller's
// RestoreDC puts back whatever did change.
void ResetCoordinates(HDC dc) {
  SetGraphicsMode(dc, GM_ADVANCED);
  ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  SetWindowOrgEx(dc, 0, 0, nullptr);
}

LOGFONTA FontRecord(const char* face, int y, int style) {
  LOGFONTA lf{};
  lf.lfHeight = FontHeightFor(y);
  lf.lfWeight = (style & kTextFontBold) ? kBoldWeight : 0;
  lf.lfItalic = (style & kTextFontItalic) ? 1 : 0;
  lf.lfUnderline = (style & kTextFontUnderline) ? 1 : 0;
  lf.lfStrikeOut = (style & kTextFontStrikeOut) ? 1 : 0;
  if (face) lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return lf;
}

// The font width that gives the measured average character width of the
// font of height y the proportion x : y; 0 when y is 0.
int FontWidthFor(int x, int y, int averageWidth) {
  if (y == 0) return 0;
  return static_cast<int>(static_cast<double>(std::abs(x)) * averageWidth / std::abs(y) + 0.5);
}

// The average character width of the font in dc, 0 if it cannot be read.
int AverageWidth(HDC dc, HFONT font) {
  TEXTMETRICA tm{};
  const HGDIOBJ previous = SelectObject(dc, font);
  if (!GetTextMetricsA(dc, &tm)) tm.tmAveCharWidth = 0;
  SelectObject(dc, previous);
  return tm.tmAveCharWidth;
}

}  // namespace

float AxisDotsPerInch(int pixels, int millimetres, int logicalPixels, int useLogPixels) {
  if (useLogPixels || millimetres == 0) return static_cast<float>(logicalPixels);
  return static_cast<float>(pixels * kMillimetresPerInch / millimetres);
}

int TenthsToDevice(int tenthsOfPoint, float dotsPerInch) {
  return static_cast<int>(tenthsOfPoint * dotsPerInch / kPointsPerInch);
}

int FontHeightFor(int y) { return -static_cast<int>(std::abs(y) / 10.0 + 0.5); }

HFONT CreateTextFont(HDC dc, const char* face, int height, int width, int style, int useLogPixels) {
  SaveDC(dc);
  ResetCoordinates(dc);

  const float dpiX = AxisDotsPerInch(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE),
                                     GetDeviceCaps(dc, LOGPIXELSX), useLogPixels);
  const float dpiY = AxisDotsPerInch(GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE),
                                     GetDeviceCaps(dc, LOGPIXELSY), useLogPixels);
  POINT size = {TenthsToDevice(width, dpiX), TenthsToDevice(height, dpiY)};
  DPtoLP(dc, &size, 1);

  LOGFONTA lf = FontRecord(face, size.y, style);
  HFONT font = CreateFontIndirectA(&lf);
  if (width != 0) {
    const int average = AverageWidth(dc, font);
    DeleteObject(font);
    lf.lfWidth = FontWidthFor(size.x, size.y, average);
    font = CreateFontIndirectA(&lf);
  }

  RestoreDC(dc, -1);
  return font;
}
