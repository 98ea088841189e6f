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

}  // namespace

float AxisDotsPerInch(int pixels, int millimetres, int logicalPixels) {
  if (millimetres == 0) return static_cast<float>(logicalPixels);
  return static_cast<float>(pixels * kMillimetresPerInch / millimetres);
}

int TenthsToDevice(int tenthsOfPoint, float dotsPerInch) {
  return static_cast<int>(tenthsOfPoint * dotsPerInch / kPointsPerInch);
}

int FontHeightFor(int y) { return -static_cast<int>(std::abs(y) / 10.0 + 0.5); }

HFONT CreateTextFont(HDC dc, const char* face, int tenthsOfPoint, bool bold) {
  SaveDC(dc);
  ResetCoordinates(dc);
  const float dpiY = AxisDotsPerInch(GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE),
                                     GetDeviceCaps(dc, LOGPIXELSY));
  POINT size = {0, TenthsToDevice(tenthsOfPoint, dpiY)};
  DPtoLP(dc, &size, 1);
  LOGFONTA lf{};
  lf.lfHeight = FontHeightFor(size.y);
  lf.lfWeight = bold ? kBoldWeight : 0;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  HFONT font = CreateFontIndirectA(&lf);
  RestoreDC(dc, -1);
  return font;
}
