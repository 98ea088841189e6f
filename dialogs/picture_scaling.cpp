#include "dialogs/picture_scaling.h"

namespace {

constexpr int kUsualPixelsPerInch = 96;

bool ShowsBitmap(HWND control) {
  return (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

// The screen's whole multiple of 96 pixels per inch, at least 1.
int ScreenScale() {
  HDC screen = GetDC(nullptr);
  const int scale = GetDeviceCaps(screen, LOGPIXELSY) / kUsualPixelsPerInch;
  ReleaseDC(nullptr, screen);
  return scale > 1 ? scale : 1;
}

}  // namespace

void ScaleBitmapPictures(HWND dialog) {
  const int scale = ScreenScale();
  if (scale == 1) return;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!ShowsBitmap(c)) continue;
    HANDLE original = reinterpret_cast<HANDLE>(SendMessageA(c, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP b;
    if (!original || !GetObjectA(original, sizeof b, &b)) continue;
    // Growing a picture by a whole multiple repeats each pixel.
    HANDLE scaled = CopyImage(original, IMAGE_BITMAP, b.bmWidth * scale, b.bmHeight * scale, 0);
    if (!scaled) continue;
    // The control hands back the picture it loaded; only the copy is kept.
    SendMessageA(c, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled));
    DeleteObject(original);
  }
}

void DeleteBitmapPictures(HWND dialog) {
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!ShowsBitmap(c)) continue;
    HANDLE picture = reinterpret_cast<HANDLE>(SendMessageA(c, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (picture) DeleteObject(picture);
  }
}
