#include "sprites/sprite_blit.h"

namespace {

// The largest sprite the work bitmap holds: the large sleigh.
constexpr int kWorkWidth = 192;
constexpr int kWorkHeight = 48;

HDC workDC = nullptr;
HBITMAP workBitmap = nullptr;
HGDIOBJ workStart = nullptr;
HDC maskDC = nullptr;
HDC imageDC = nullptr;

void TakeMapMode(HDC memory, HDC target) {
  const int mode = GetMapMode(target);
  if (GetMapMode(memory) != mode) SetMapMode(memory, mode);
}

}  // namespace

void BitmapRect(RECT* r, HBITMAP bitmap) {
  if (!bitmap) return;
  BITMAP bm;
  if (GetObjectA(bitmap, sizeof bm, &bm) == sizeof bm) SetRect(r, 0, 0, bm.bmWidth, bm.bmHeight);
}

void CreateSpriteDrawing() {
  HDC screen = GetDC(nullptr);
  workBitmap = CreateCompatibleBitmap(screen, kWorkWidth, kWorkHeight);
  ReleaseDC(nullptr, screen);
  workDC = CreateCompatibleDC(nullptr);
  workStart = SelectObject(workDC, workBitmap);
  maskDC = CreateCompatibleDC(nullptr);
  imageDC = CreateCompatibleDC(nullptr);
}

void DeleteSpriteDrawing() {
  if (workDC) {
    SelectObject(workDC, workStart);
    DeleteDC(workDC);
  }
  if (workBitmap) DeleteObject(workBitmap);
  if (maskDC) DeleteDC(maskDC);
  if (imageDC) DeleteDC(imageDC);
  workDC = maskDC = imageDC = nullptr;
  workBitmap = nullptr;
}

void DrawMasked(HDC dc, HBITMAP mask, HBITMAP image, int x, int y, int w, int h) {
  if (!workDC || w <= 0 || h <= 0 || w > kWorkWidth || h > kWorkHeight) return;
  TakeMapMode(workDC, dc);
  TakeMapMode(maskDC, dc);
  TakeMapMode(imageDC, dc);
  // The screen under the sprite, white where the mask is opaque, then the
  // image ANDed in: its pixels where opaque, the screen (AND white) elsewhere.
  BitBlt(workDC, 0, 0, w, h, dc, x, y, SRCCOPY);
  HGDIOBJ maskStart = SelectObject(maskDC, mask);
  BitBlt(workDC, 0, 0, w, h, maskDC, 0, 0, SRCPAINT);
  SelectObject(maskDC, maskStart);
  HGDIOBJ imageStart = SelectObject(imageDC, image);
  BitBlt(workDC, 0, 0, w, h, imageDC, 0, 0, SRCAND);
  SelectObject(imageDC, imageStart);
  BitBlt(dc, x, y, w, h, workDC, 0, 0, SRCCOPY);  // one copy: no flicker
}
