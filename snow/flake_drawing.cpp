#include "snow/flake_drawing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "images/bitmap_dc.h"
#include "surface/surface.h"

namespace {

constexpr int kCell = 7;
constexpr int kCellsPerRow = 25;
constexpr int kStoreWidth = kCellsPerRow * kCell;
constexpr int kStoreHeight = (kFlakeSlots + kCellsPerRow - 1) / kCellsPerRow * kCell;

// The work area of MoveFlakeImage.
constexpr int kWorkWidth = 128;
constexpr int kWorkHeight = 64;

BitmapDC store;      // the saved backgrounds
BitmapDC moveArea;   // MoveFlakeImage's copy of the screen around a flake
HDC flakeDC = nullptr;        // the flake memory DC of BlitShared
HGDIOBJ flakeDCStart = nullptr;
HBITMAP flakeDCShape = nullptr;  // the shape selected into it now

POINT Cell(int slot) {
  return POINT{(slot % kCellsPerRow) * kCell, (slot / kCellsPerRow) * kCell};
}

}  // namespace

void CreateFlakeDrawing() {
  store = MakeDibDC(kStoreWidth, kStoreHeight);
  moveArea = MakeDibDC(kWorkWidth, kWorkHeight);
  flakeDC = CreateCompatibleDC(nullptr);
  flakeDCStart = GetCurrentObject(flakeDC, OBJ_BITMAP);
  flakeDCShape = nullptr;
}

void DeleteFlakeDrawing() {
  FreeBitmapDC(&store);
  FreeBitmapDC(&moveArea);
  if (flakeDC) {
    SelectObject(flakeDC, flakeDCStart);
    DeleteDC(flakeDC);
  }
  flakeDC = nullptr;
  flakeDCShape = nullptr;
}

void SaveFlakeBackground(HDC dc, int slot, int x, int y, int w, int h) {
  if (!store.dc) return;
  const POINT cell = Cell(slot);
  TakeMapMode(store.dc, dc);
  BitBlt(store.dc, cell.x, cell.y, w, h, dc, x, y, SRCCOPY);
}

void RestoreFlakeBackground(HDC dc, int slot, int x, int y, int w, int h) {
  if (!store.dc) return;
  const POINT cell = Cell(slot);
  TakeMapMode(store.dc, dc);
  BitBlt(dc, x, y, w, h, store.dc, cell.x, cell.y, SRCCOPY);
  WrittenOver(RECT{x, y, x + w, y + h});
}

void BlitShared(HDC dc, HBITMAP bitmap, int x, int y, int w, int h, DWORD rop, int sourceX,
                int sourceY) {
  if (!flakeDC) return;
  if (flakeDCShape != bitmap) {
    SelectObject(flakeDC, bitmap);
    flakeDCShape = bitmap;
  }
  TakeMapMode(flakeDC, dc);
  BitBlt(dc, x, y, w, h, flakeDC, sourceX, sourceY, rop);
  WrittenOver(RECT{x, y, x + w, y + h});
}

bool MoveFlakeImage(HDC dc, int slot, int oldX, int oldY, int x, int y, int w, int h,
                    const unsigned char* rows) {
  if (!store.bits || !moveArea.bits) return false;
  const int left = std::min(oldX, x), top = std::min(oldY, y);
  const int bw = std::max(oldX, x) + w - left, bh = std::max(oldY, y) + h - top;
  if (bw > kWorkWidth || bh > kWorkHeight || w > kCell || h > kCell) return false;
  TakeMapMode(moveArea.dc, dc);
  BitBlt(moveArea.dc, 0, 0, bw, bh, dc, left, top, SRCCOPY);
  GdiFlush();
  const POINT cell = Cell(slot);
  uint32_t* cellRow = store.bits + static_cast<size_t>(cell.y) * kStoreWidth + cell.x;
  // The old place gets its background back ...
  uint32_t* work = moveArea.bits + static_cast<size_t>(oldY - top) * kWorkWidth + (oldX - left);
  for (int r = 0; r < h; ++r) memcpy(work + r * kWorkWidth, cellRow + r * kStoreWidth, w * 4);
  // ... the new place's background is kept, and the shape ORed on in white.
  work = moveArea.bits + static_cast<size_t>(y - top) * kWorkWidth + (x - left);
  for (int r = 0; r < h; ++r) {
    memcpy(cellRow + r * kStoreWidth, work + r * kWorkWidth, w * 4);
    for (int c = 0; c < w; ++c) {
      if ((rows[r] >> (7 - c)) & 1) work[r * kWorkWidth + c] |= 0x00FFFFFF;
    }
  }
  BitBlt(dc, left, top, bw, bh, moveArea.dc, 0, 0, SRCCOPY);
  WrittenOver(RECT{left, top, left + bw, top + bh});
  return true;
}
