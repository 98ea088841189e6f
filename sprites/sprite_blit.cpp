#include "sprites/sprite_blit.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "scene/scene_state.h"
#include "settings/settings.h"
#include "snow/flakes.h"
#include "sprites/sleigh.h"

namespace {

// The flake memory DC and the shape selected into it now.
HDC flakeDC = nullptr;
int flakeDCMade = 0;
HGDIOBJ flakeDCStart = nullptr;
HBITMAP flakeDCShape = nullptr;

// The background store: a 32-bit top-down DIB section, so that a flake's
// move can also be done on its pixels directly.
constexpr int kCell = 7;
constexpr int kCellsPerRow = 25;
constexpr int kStoreWidth = kCellsPerRow * kCell;
HDC storeDC = nullptr;
HBITMAP storeBitmap = nullptr;
HGDIOBJ storeStart = nullptr;
uint32_t* storeBits = nullptr;

// The work area of MoveFlakeImage, the same kind of DIB section.
constexpr int kWorkWidth = 128;
constexpr int kWorkHeight = 64;
HDC moveDC = nullptr;
HBITMAP moveBitmap = nullptr;
HGDIOBJ moveStart = nullptr;
uint32_t* moveBits = nullptr;

// The flake shapes' bits, read once per shape bitmap.
struct ShapeBits {
  HBITMAP shape;
  unsigned char rows[8];
};
ShapeBits shapeBits[kFlakeKinds] = {};

HBITMAP MakeDib(HDC dc, int w, int h, uint32_t** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* p = nullptr;
  HBITMAP b = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = static_cast<uint32_t*>(p);
  return b;
}

// DrawMasked's work bitmap, kept selected in its DC and grown when a larger
// sprite comes, and two DCs that hold the mask and the image for one call.
HDC workDC = nullptr;
HBITMAP workBitmap = nullptr;
HGDIOBJ workStart = nullptr;
int workWidth = 0;
int workHeight = 0;
HDC maskDC = nullptr;
HDC imageDC = nullptr;

void TakeMapMode(HDC memory, HDC target) {
  const int mode = GetMapMode(target);
  if (GetMapMode(memory) != mode) SetMapMode(memory, mode);
}

void MakeWorkBitmap(HDC dc, int w, int h) {
  if (!workDC) {
    workDC = CreateCompatibleDC(dc);
    maskDC = CreateCompatibleDC(dc);
    imageDC = CreateCompatibleDC(dc);
  }
  if (w <= workWidth && h <= workHeight) return;
  if (workBitmap) {
    SelectObject(workDC, workStart);
    DeleteObject(workBitmap);
  }
  workWidth = w > workWidth ? w : workWidth;
  workHeight = h > workHeight ? h : workHeight;
  workBitmap = CreateCompatibleBitmap(Scene().workingDC ? Scene().workingDC : dc, workWidth,
                                      workHeight);
  workStart = SelectObject(workDC, workBitmap);
}

void DeleteWorkDCs() {
  if (workBitmap) {
    SelectObject(workDC, workStart);
    DeleteObject(workBitmap);
  }
  if (workDC) DeleteDC(workDC);
  if (maskDC) DeleteDC(maskDC);
  if (imageDC) DeleteDC(imageDC);
  workDC = maskDC = imageDC = nullptr;
  workBitmap = nullptr;
  workStart = nullptr;
  workWidth = workHeight = 0;
}

int KindWidth(const Flake& flake) { return FlakeKindAt(flake.kind).extent.right; }
int KindHeight(const Flake& flake) { return FlakeKindAt(flake.kind).extent.bottom; }

// One save or restore of the sleigh's background: a memory DC for the one
// bitmap, one copy, the DC gone again.
void CopySleighBackground(HDC dc, int x, int y, int w, int h, bool save) {
  HBITMAP bitmap = Sleigh().sleighBackground;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ start = SelectObject(memory, bitmap);
  TakeMapMode(memory, dc);
  if (save) {
    BitBlt(memory, 0, 0, w, h, dc, x, y, SRCCOPY);
  } else {
    BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY);
  }
  SelectObject(memory, start);
  DeleteDC(memory);
}

}  // namespace

void BitmapRect(RECT* r, HBITMAP bitmap) {
  if (!bitmap) return;
  BITMAP bm;
  if (GetObjectA(bitmap, sizeof bm, &bm) == sizeof bm) SetRect(r, 0, 0, bm.bmWidth, bm.bmHeight);
}

void DrawMasked(HDC dc, HBITMAP mask, HBITMAP image, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  MakeWorkBitmap(dc, w, h);
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

void BlitShared(HDC dc, HBITMAP bitmap, int x, int y, int w, int h, DWORD rop) {
  if (!flakeDCMade) {
    flakeDC = CreateCompatibleDC(dc);
    flakeDCMade = 1;
    flakeDCStart = GetCurrentObject(flakeDC, OBJ_BITMAP);
  }
  if (flakeDCShape != bitmap) {
    SelectObject(flakeDC, bitmap);
    flakeDCShape = bitmap;
  }
  TakeMapMode(flakeDC, dc);
  BitBlt(dc, x, y, w, h, flakeDC, 0, 0, rop);
}

HBITMAP FlakeBackgroundStore(HDC dc) {
  if (!storeBitmap && dc) {
    const int rows = (kFlakeSlots + kCellsPerRow - 1) / kCellsPerRow;
    storeDC = CreateCompatibleDC(dc);
    storeBitmap = MakeDib(dc, kStoreWidth, rows * kCell, &storeBits);
    storeStart = SelectObject(storeDC, storeBitmap);
    TakeMapMode(storeDC, dc);
  }
  return storeBitmap;
}

HDC FlakeBackgroundDC() { return storeDC; }

POINT FlakeBackgroundCell(int slot) {
  return POINT{(slot % kCellsPerRow) * kCell, (slot / kCellsPerRow) * kCell};
}

namespace {

// Puts back the DC's first bitmap, then frees the DC and the DIB it held.
void FreeDibAndDC(HDC& dc, HGDIOBJ& start, HBITMAP& bitmap, uint32_t*& bits) {
  if (dc) {
    SelectObject(dc, start);
    DeleteDC(dc);
  }
  if (bitmap) DeleteObject(bitmap);
  dc = nullptr;
  bitmap = nullptr;
  start = nullptr;
  bits = nullptr;
}

}  // namespace

void DeleteFlakeBackgroundStore() {
  FreeDibAndDC(storeDC, storeStart, storeBitmap, storeBits);
  FreeDibAndDC(moveDC, moveStart, moveBitmap, moveBits);
  for (ShapeBits& b : shapeBits) b.shape = nullptr;
}

bool MoveFlakeImage(HDC dc, Flake& flake, int oldX, int oldY) {
  if (!storeBits || flake.saveBitmap != storeBitmap) return false;
  const FlakeKind& kind = FlakeKindAt(flake.kind);
  const int w = kind.extent.right, h = kind.extent.bottom;
  const int left = std::min(oldX, flake.x), top = std::min(oldY, flake.y);
  const int bw = std::max(oldX, flake.x) + w - left, bh = std::max(oldY, flake.y) + h - top;
  if (bw > kWorkWidth || bh > kWorkHeight || w > kCell || h > kCell) return false;
  if (!moveDC) {
    moveDC = CreateCompatibleDC(dc);
    moveBitmap = MakeDib(dc, kWorkWidth, kWorkHeight, &moveBits);
    moveStart = SelectObject(moveDC, moveBitmap);
  }
  if (!moveBits) return false;
  ShapeBits& bits = shapeBits[flake.kind];
  if (bits.shape != kind.shape) {
    unsigned char raw[16] = {};
    GetBitmapBits(kind.shape, sizeof raw, raw);
    for (int row = 0; row < 8; ++row) bits.rows[row] = raw[row * 2];
    bits.shape = kind.shape;
  }
  TakeMapMode(moveDC, dc);
  BitBlt(moveDC, 0, 0, bw, bh, dc, left, top, SRCCOPY);
  GdiFlush();
  const POINT cell = FlakeBackgroundCell(flake.slot);
  uint32_t* cellRow = storeBits + static_cast<size_t>(cell.y) * kStoreWidth + cell.x;
  // The old place gets its background back ...
  uint32_t* work = moveBits + static_cast<size_t>(oldY - top) * kWorkWidth + (oldX - left);
  for (int y = 0; y < h; ++y) memcpy(work + y * kWorkWidth, cellRow + y * kStoreWidth, w * 4);
  // ... the new place's background is kept, and the shape ORed on in white.
  work = moveBits + static_cast<size_t>(flake.y - top) * kWorkWidth + (flake.x - left);
  for (int y = 0; y < h; ++y) {
    memcpy(cellRow + y * kStoreWidth, work + y * kWorkWidth, w * 4);
    for (int x = 0; x < w; ++x) {
      if ((bits.rows[y] >> (7 - x)) & 1) work[y * kWorkWidth + x] |= 0x00FFFFFF;
    }
  }
  BitBlt(dc, left, top, bw, bh, moveDC, 0, 0, SRCCOPY);
  flake.unsaved = 0;
  return true;
}

void SaveFlakeBackground(HDC dc, Flake& flake) {
  if (flake.saveBitmap && flake.saveBitmap == storeBitmap) {
    const POINT cell = FlakeBackgroundCell(flake.slot);
    TakeMapMode(storeDC, dc);
    BitBlt(storeDC, cell.x, cell.y, KindWidth(flake), KindHeight(flake), dc, flake.x, flake.y,
           SRCCOPY);
  }
  flake.unsaved = 0;
}

void RestoreFlakeBackground(HDC dc, Flake& flake, int x, int y) {
  if (!flake.saveBitmap || flake.saveBitmap != storeBitmap) return;
  const POINT cell = FlakeBackgroundCell(flake.slot);
  TakeMapMode(storeDC, dc);
  BitBlt(dc, x, y, KindWidth(flake), KindHeight(flake), storeDC, cell.x, cell.y, SRCCOPY);
}

void SaveSleighBackground(HDC dc) {
  SleighState& s = Sleigh();
  RECT size{0, 0, 0, 0};
  BitmapRect(&size, s.sleighBackground);
  if (s.sleighBackground) CopySleighBackground(dc, s.sleighX, s.sleighY, size.right, size.bottom, true);
  s.backgroundPending = 0;
}

void RestoreSleighBackground(HDC dc, int x, int y) {
  SleighState& s = Sleigh();
  RECT size{0, 0, 0, 0};
  BitmapRect(&size, s.sleighMasks[s.sleighFrame & 3]);
  if (s.sleighBackground) CopySleighBackground(dc, x, y, size.right, size.bottom, false);
  SceneState& scene = Scene();
  const RECT erase{x, y, x + size.right, y + size.bottom};
  if (scene.eraseRegion) SetRectRgn(scene.eraseRegion, erase.left, erase.top, erase.right, erase.bottom);
  OccupiedRemoveRect(erase);
}

void EraseFlakesUnder(const RECT& given) {
  SceneState& scene = Scene();
  if (scene.scratchRegion) {
    SetRectRgn(scene.scratchRegion, given.left, given.top, given.right, given.bottom);
  }
  // The scratch region holds the rectangle in order, as SetRectRgn puts it.
  RECT r = given;
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  const int count = Settings().FlakeCount;
  for (int i = 0; i < count; ++i) {
    Flake& flake = FlakeAt(i);
    const RECT& e = FlakeKindAt(flake.kind).extent;
    const RECT f{flake.x, flake.y, flake.x + e.right, flake.y + e.bottom};
    const bool meets = f.left < r.right && r.left < f.right && f.top < r.bottom && r.top < f.bottom &&
                       r.left < r.right && r.top < r.bottom;
    if (meets && flake.unsaved == 0) RestoreFlakeBackground(scene.workingDC, flake, flake.x, flake.y);
  }
}

void DeleteFlakeMemoryDC() {
  if (flakeDCMade) {
    SelectObject(flakeDC, flakeDCStart);
    DeleteDC(flakeDC);
    flakeDC = nullptr;
    flakeDCMade = 0;
    flakeDCShape = nullptr;
  }
  DeleteWorkDCs();
}
