#include "images/bitmap_dc.h"

BitmapDC SelectIntoNewDC(HBITMAP bitmap, HDC like) {
  if (!bitmap) return BitmapDC{};
  BitmapDC d;
  d.bitmap = bitmap;
  d.dc = CreateCompatibleDC(like);
  d.start = SelectObject(d.dc, bitmap);
  return d;
}

BitmapDC MakeDibDC(int width, int height, DibSectionMaker make) {
  const BITMAPINFOHEADER header{sizeof header, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  BitmapDC d = SelectIntoNewDC(
      make(nullptr, reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
  if (d.dc) d.bits = static_cast<uint32_t*>(bits);
  return d;
}

void FreeBitmapDC(BitmapDC* d) {
  if (d->dc) {
    SelectObject(d->dc, d->start);
    DeleteDC(d->dc);
  }
  if (d->bitmap) DeleteObject(d->bitmap);
  *d = BitmapDC{};
}

void TakeMapMode(HDC memory, HDC target) {
  const int mode = GetMapMode(target);
  if (GetMapMode(memory) != mode) SetMapMode(memory, mode);
}
