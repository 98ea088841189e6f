#include "images/mask_region.h"

#include <vector>

#include "images/bitmap_rect.h"
#include "images/picture.h"
#include "resources/resource.h"
#include "system/message_box.h"

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

}  // namespace

HRGN MaskBitsToRegion(const BITMAP* placed, int maxRects, bool* told) {
  maskRectCount = 0;
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
  if (cut && !(told && *told)) {
    ShowMessageBox(nullptr, "The mask requires more rectangles than you set in the settings",
                   "Mask too complex", MB_OK);
    if (told) *told = true;
  }
  return UnionOfRects(rects);
}

HRGN UnionOfRects(const std::vector<RECT>& rects) {
  if (rects.empty()) return CreateRectRgn(0, 0, 0, 0);
  return JoinRects(rects, 0, rects.size());
}

int MaskRectCount() { return maskRectCount; }

void PlaceMaskBits(HDC source, int w, int h, const MaskLayout& laid, MaskRegionKind kind,
                   BITMAP* placed) {
  const int W = laid.screenWidth > 0 ? laid.screenWidth : 0;
  const int H = laid.screenHeight > 0 ? laid.screenHeight : 0;
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

  // The edge is drawn as NOT (the mask two rows lower) AND the mask, then
  // inverted: white where the mask is white and black two rows higher.
  switch (laid.layout) {
    case 0:
      if (edge) {
        FillRect(dc, &full, Stock(WHITE_BRUSH));
        StretchBlt(dc, 0, 2, W, H, source, 0, 0, w, h, NOTSRCCOPY);
        StretchBlt(dc, 0, 0, W, H, source, 0, 0, w, h, SRCAND);
        InvertRect(dc, &full);
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
    case 2: {
      FillRect(dc, &full, Stock(edge ? BLACK_BRUSH : WHITE_BRUSH));
      // Tiles of the mask repeated into a larger tile, as on one continuous
      // picture; a mask without size is never tiled.
      RepeatedTile t = RepeatTile(source, w, h);
      HDC tile = TileSource(t, source);
      const int tw = t.width, th = t.height;
      ForEachTile(tw, th, full, [&](int x, int y) {
        if (edge) {
          BitBlt(dc, x, y + 2, tw, th, tile, 0, 0, NOTSRCCOPY);
          BitBlt(dc, x, y, tw, th, tile, 0, 0, SRCAND);
        } else {
          BitBlt(dc, x, y, tw, th, tile, 0, 0, SRCAND);
        }
      });
      FreeRepeatedTile(&t);
      if (edge) InvertRect(dc, &full);
      break;
    }
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

HRGN PlaceMaskRegion(HDC source, int w, int h, const MaskLayout& laid, MaskRegionKind kind) {
  BITMAP placed;
  PlaceMaskBits(source, w, h, laid, kind, &placed);
  if (!placed.bmBits) return nullptr;
  HRGN region = MaskBitsToRegion(&placed, laid.maxRects, laid.told);
  FreeMaskBits(&placed);
  return region;
}

HRGN BuiltinMaskRegion(HINSTANCE instance, MaskRegionKind kind, const MaskLayout& laid) {
  // Not shared with the system: this copy is deleted once the region is made.
  HBITMAP mask = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_MASK_2000),
                                                 IMAGE_BITMAP, 0, 0,
                                                 LR_DEFAULTSIZE));
  if (!mask) return nullptr;
  RECT r{0, 0, 0, 0};
  BitmapRect(&r, mask);
  HDC source = CreateCompatibleDC(nullptr);
  HBITMAP old = static_cast<HBITMAP>(SelectObject(source, mask));
  HRGN region = PlaceMaskRegion(source, r.right, r.bottom, laid, kind);
  SelectObject(source, old);
  DeleteDC(source);
  DeleteObject(mask);
  return region;
}

HRGN UserMaskRegion(BmpImage* image, HWND owner, MaskRegionKind kind, const MaskLayout& laid) {
  // A fresh memory DC: the picture's bitmap made compatible with it has one
  // bit per pixel, which turns the picture into black and white.
  HDC paletteDC = CreateCompatibleDC(nullptr);
  HPALETTE previous = SelectPicturePalette(paletteDC, image);
  HRGN region = nullptr;
  if (MakePictureBitmap(owner, paletteDC, image)) {
    region = PlaceMaskRegion(image->shown.dc, PictureWidth(image->info), PictureHeight(image->info),
                             laid, kind);
  }
  RestorePalette(paletteDC, image, previous);
  DeleteDC(paletteDC);
  return region;
}

void AddMaskRegion(MaskRegionKind kind, HRGN region, int x, int y) {
  if (!region) return;
  OffsetRgn(region, x, y);
  HRGN& slot = kind == kMaskEdge ? edgeRegion : bodyRegion;
  if (slot) {
    CombineRgn(slot, slot, region, RGN_OR);
    DeleteObject(region);
  } else {
    slot = region;
  }
}

HRGN MaskEdgeRegion() { return edgeRegion; }
HRGN MaskBodyRegion() { return bodyRegion; }

void DeleteMaskRegions() {
  if (edgeRegion) DeleteObject(edgeRegion);
  if (bodyRegion) DeleteObject(bodyRegion);
  edgeRegion = bodyRegion = nullptr;
}
