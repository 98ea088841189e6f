#include "images/mask_region.h"

#include <vector>

#include "images/picture.h"
#include "scene/scene_state.h"
#include "settings/settings.h"
#include "shell/message_box.h"
#include "sprites/sprite_blit.h"

namespace {

HRGN edgeRegion = nullptr;
HRGN bodyRegion = nullptr;
int maskRectCount = 0;

HBRUSH Stock(int brush) { return static_cast<HBRUSH>(GetStockObject(brush)); }

// The union of rects[first, last): halves joined pairwise, so that every
// join is between regions of about the same size instead of one growing
// region taking one rectangle at a time.
HRGN JoinRects(const std::vector<RECT>& rects, size_t first, size_t last) {
  if (last - first == 1) return CreateRectRgnIndirect(&rects[first]);
  const size_t middle = first + (last - first) / 2;
  HRGN left = JoinRects(rects, first, middle);
  HRGN right = JoinRects(rects, middle, last);
  CombineRgn(left, left, right, RGN_OR);
  DeleteObject(right);
  return left;
}

// The scene's module instance, or this program's when no scene runs.
HINSTANCE Instance() {
  return Scene().instance ? Scene().instance : GetModuleHandleA(nullptr);
}

void StoreRegion(HRGN* slot, HRGN region) {
  if (*slot) DeleteObject(*slot);
  *slot = region;
}

}  // namespace

HRGN MaskBitsToRegion(const BITMAP* placed) {
  maskRectCount = 0;
  const int maxRects = Settings().MaskMaxRects;
  const int width = placed->bmWidth;
  const int height = placed->bmHeight;
  const BYTE* bits = static_cast<const BYTE*>(placed->bmBits);
  std::vector<RECT> rects;
  bool cut = false;

  auto add = [&](int left, int top, int right) {
    rects.push_back(RECT{left, top, right, top + 1});
    ++maskRectCount;
    if (maskRectCount > maxRects) cut = true;
    return cut;
  };
  // The byte at x with its bits past the width taken as white.
  auto byteAt = [&](const BYTE* row, int x) {
    const int pixels = width - x;
    const BYTE past = pixels >= 8 ? 0 : static_cast<BYTE>(0xFF >> pixels);
    return static_cast<BYTE>(row[x / 8] | past);
  };
  auto allBlack = [&](const BYTE* row, int x) {
    const int pixels = width - x;
    const BYTE past = pixels >= 8 ? 0 : static_cast<BYTE>(0xFF >> pixels);
    return byteAt(row, x) == past;
  };

  for (int y = 0; y < height && !cut; ++y) {
    const BYTE* row = bits + static_cast<size_t>(y) * placed->bmWidthBytes;
    int x = 0;
    while (x < width && !cut) {
      const BYTE b = byteAt(row, x);
      if (b == 0xFF) {
        x += 8;
      } else if (allBlack(row, x)) {
        int n = 8;
        while (x + n < width && allBlack(row, x + n)) n += 8;
        add(x, y, x + n);
        x += n;
      } else {
        for (int i = 0; i < 8 && !cut; ++i) {
          if (!(b & (0x80 >> i))) add(x + i, y, x + i + 1);
        }
        x += 8;
      }
    }
  }
  if (cut) {
    ShowMessageBox(nullptr, "The mask requires more rectangles than you set in the settings",
                   "Mask too complex", MB_OK);
  }
  return UnionOfRects(rects);
}

HRGN UnionOfRects(const std::vector<RECT>& rects) {
  if (rects.empty()) return CreateRectRgn(0, 0, 0, 0);
  return JoinRects(rects, 0, rects.size());
}

int MaskRectCount() { return maskRectCount; }

void PlaceMaskBits(HDC source, int w, int h, int screenWidth, int screenHeight, int layout,
                   MaskRegionKind kind, bool builtin, BITMAP* placed) {
  const int W = screenWidth > 0 ? screenWidth : 0;
  const int H = screenHeight > 0 ? screenHeight : 0;
  const int stride = (W + 15) / 16 * 2;
  *placed = BITMAP{0, W, H, stride, 1, 1, nullptr};
  placed->bmBits = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                             static_cast<SIZE_T>(stride) * H + 2);
  if (!placed->bmBits || W == 0 || H == 0) return;

  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmapIndirect(placed);
  HBITMAP old = static_cast<HBITMAP>(SelectObject(dc, bitmap));
  const RECT full{0, 0, W, H};
  const int cx = (W - w) / 2;
  const int cy = (H - h) / 2;
  const bool edge = kind == kMaskEdge;

  switch (layout) {
    case 0:
      if (edge) {
        FillRect(dc, &full, Stock(WHITE_BRUSH));
        StretchBlt(dc, 0, 2, W, H, source, 0, 0, w, h, NOTSRCCOPY);
        StretchBlt(dc, 0, 0, W, H, source, 0, 0, w, h, SRCAND);
        InvertRect(dc, &full);
      } else if (builtin) {
        FillRect(dc, &full, Stock(WHITE_BRUSH));
        StretchBlt(dc, 0, 0, W, H, source, 0, 0, w, h, SRCAND);
      } else {
        StretchBlt(dc, 0, 0, W, H, source, 0, 0, w, h, SRCCOPY);
      }
      break;
    case 1:
      if (edge) {
        FillRect(dc, &full, Stock(BLACK_BRUSH));
        BitBlt(dc, cx, cy + 2, w, h, source, 0, 0, NOTSRCCOPY);
        BitBlt(dc, cx, cy, w, h, source, 0, 0, SRCAND);
        InvertRect(dc, &full);
      } else {
        FillRect(dc, &full, Stock(WHITE_BRUSH));
        BitBlt(dc, cx, cy, w, h, source, 0, 0, SRCCOPY);
      }
      break;
    case 2:
      FillRect(dc, &full, Stock(edge ? BLACK_BRUSH : WHITE_BRUSH));
      // A mask without size would never step across the screen.
      if (w > 0 && h > 0) {
        for (int x = 0; x < W; x += w) {
          for (int y = 0; y < H; y += h) {
            if (edge) {
              BitBlt(dc, x, y + 2, w, h, source, 0, 0, NOTSRCCOPY);
              BitBlt(dc, x, y, w, h, source, 0, 0, SRCAND);
            } else {
              BitBlt(dc, x, y, w, h, source, 0, 0, SRCAND);
            }
          }
        }
      }
      if (edge) InvertRect(dc, &full);
      break;
    default:
      // A damaged layout value: no mask at all.
      FillRect(dc, &full, Stock(WHITE_BRUSH));
      break;
  }
  GetBitmapBits(bitmap, stride * H, placed->bmBits);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

void FreeMaskBits(BITMAP* placed) {
  if (placed->bmBits) HeapFree(GetProcessHeap(), 0, placed->bmBits);
  placed->bmBits = nullptr;
}

HRGN PlaceMaskRegion(HDC source, int w, int h, int screenWidth, int screenHeight, int layout,
                     MaskRegionKind kind, bool builtin) {
  BITMAP placed;
  PlaceMaskBits(source, w, h, screenWidth, screenHeight, layout, kind, builtin, &placed);
  if (!placed.bmBits) return nullptr;
  HRGN region = MaskBitsToRegion(&placed);
  FreeMaskBits(&placed);
  return region;
}

HRGN BuiltinMaskRegion(MaskRegionKind kind, int screenWidth, int screenHeight, int layout) {
  HBITMAP mask = static_cast<HBITMAP>(LoadImageA(Instance(), MAKEINTRESOURCEA(kBuiltinMaskBitmap),
                                                 IMAGE_BITMAP, 0, 0,
                                                 LR_SHARED | LR_DEFAULTSIZE));
  if (!mask) return nullptr;
  RECT r{0, 0, 0, 0};
  BitmapRect(&r, mask);
  HDC source = CreateCompatibleDC(nullptr);
  HBITMAP old = static_cast<HBITMAP>(SelectObject(source, mask));
  HRGN region = PlaceMaskRegion(source, r.right, r.bottom, screenWidth, screenHeight, layout,
                                kind, true);
  SelectObject(source, old);
  DeleteDC(source);
  DeleteObject(mask);
  return region;
}

HRGN UserMaskRegion(BmpImage* image, MaskRegionKind kind, int screenWidth, int screenHeight,
                    int layout) {
  HDC paletteDC = CreateCompatibleDC(nullptr);
  if (!image->palette) image->palette = MakePalette(image->info);
  HPALETTE oldPalette = nullptr;
  if (image->palette) {
    oldPalette = SelectPalette(paletteDC, image->palette, FALSE);
    RealizePalette(paletteDC);
  }
  if (!image->indexTable) image->indexTable = MakeIndexTable(image->info);
  if (!image->indexTable) {
    ShowMessageBox(Scene().window, "Can not create Indexed color table", nullptr, MB_ICONHAND);
    if (image->palette) SelectPalette(paletteDC, oldPalette, FALSE);
    DeleteDC(paletteDC);
    return nullptr;
  }
  const int w = PictureWidth(image->info);
  const int h = PictureHeight(image->info);
  if (!image->bitmap) {
    image->memDC = CreateCompatibleDC(paletteDC);
    image->bitmap = CreateCompatibleBitmap(paletteDC, w, h);  // 1 bit: the DC is fresh
    const BYTE* bits = reinterpret_cast<const BYTE*>(image->info) + image->bitsOffset;
    SetDIBits(paletteDC, image->bitmap, 0, h, bits,
              static_cast<const BITMAPINFO*>(image->indexTable), DIB_PAL_COLORS);
    image->oldBitmap = static_cast<HBITMAP>(SelectObject(image->memDC, image->bitmap));
  }
  HRGN region = PlaceMaskRegion(image->memDC, w, h, screenWidth, screenHeight, layout, kind,
                                false);
  if (image->palette) SelectPalette(paletteDC, oldPalette, FALSE);
  DeleteDC(paletteDC);
  return region;
}

void BuildMaskEdgeRegion(BmpImage* image) {
  HRGN region = UserMaskRegion(image, kMaskEdge, Scene().screenWidth, Scene().screenHeight,
                               Settings().PictureLayout);
  if (region) StoreRegion(&edgeRegion, region);
}

void BuildMaskBodyRegion(BmpImage* image) {
  HRGN region = UserMaskRegion(image, kMaskBody, Scene().screenWidth, Scene().screenHeight,
                               Settings().PictureLayout);
  if (region) StoreRegion(&bodyRegion, region);
}

void BuildBuiltinMaskEdgeRegion() {
  HRGN region = BuiltinMaskRegion(kMaskEdge, Scene().screenWidth, Scene().screenHeight,
                                  Settings().PictureLayout);
  if (region) StoreRegion(&edgeRegion, region);
}

void BuildBuiltinMaskBodyRegion() {
  HRGN region = BuiltinMaskRegion(kMaskBody, Scene().screenWidth, Scene().screenHeight,
                                  Settings().PictureLayout);
  if (region) StoreRegion(&bodyRegion, region);
}

HRGN MaskEdgeRegion() { return edgeRegion; }
HRGN MaskBodyRegion() { return bodyRegion; }

void DeleteMaskRegions() {
  if (edgeRegion) DeleteObject(edgeRegion);
  if (bodyRegion) DeleteObject(bodyRegion);
  edgeRegion = bodyRegion = nullptr;
}
