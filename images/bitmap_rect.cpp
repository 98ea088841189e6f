#include "images/bitmap_rect.h"

void BitmapRect(RECT* r, HBITMAP bitmap) {
  if (!bitmap) return;
  BITMAP bm;
  if (GetObjectA(bitmap, sizeof bm, &bm) == sizeof bm) SetRect(r, 0, 0, bm.bmWidth, bm.bmHeight);
}
