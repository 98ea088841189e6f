#include "images/mask_reference.h"

#include "images/mask_region.h"
#include "shell/message_box.h"

namespace {

bool Black(const BYTE* row, int x, int width) {
  return x < width && !(row[x / 8] & (0x80 >> (x % 8)));
}

// All pixels of the byte at x that lie on the screen are black.
bool ByteBlack(const BYTE* row, int x, int width) {
  for (int i = 0; i < 8 && x + i < width; ++i) {
    if (!Black(row, x + i, width)) return false;
  }
  return true;
}

bool ByteWhite(const BYTE* row, int x, int width) {
  for (int i = 0; i < 8 && x + i < width; ++i) {
    if (Black(row, x + i, width)) return false;
  }
  return true;
}

}  // namespace

ReferenceResult ReferenceMaskRegion(const BITMAP* placed, int maxRects) {
  ReferenceResult result;
  result.region = CreateRectRgn(0, 0, 0, 0);
  HRGN scratch = CreateRectRgn(0, 0, 0, 0);
  const BYTE* bits = static_cast<const BYTE*>(placed->bmBits);
  const int width = placed->bmWidth;
  auto add = [&](int l, int t, int r) {
    SetRectRgn(scratch, l, t, r, t + 1);
    CombineRgn(result.region, result.region, scratch, RGN_OR);
    if (++result.rects > maxRects) {
      ShowMessageBox(nullptr, "The mask requires more rectangles than you set in the settings",
                     "Mask too complex", MB_OK);
      result.cut = true;
    }
    return result.cut;
  };
  for (int y = 0; y < placed->bmHeight && !result.cut; ++y) {
    const BYTE* row = bits + y * placed->bmWidthBytes;
    for (int x = 0; x < width && !result.cut;) {
      if (ByteWhite(row, x, width)) {
        x += 8;
      } else if (ByteBlack(row, x, width)) {
        int n = 8;
        while (x + n < width && ByteBlack(row, x + n, width)) n += 8;
        add(x, y, x + n);
        x += n;
      } else {
        for (int i = 0; i < 8 && !result.cut; ++i) {
          if (Black(row, x + i, width)) add(x + i, y, x + i + 1);
        }
        x += 8;
      }
    }
  }
  DeleteObject(scratch);
  return result;
}

MonoSource::~MonoSource() {
  if (dc) {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
}

void MakeMonoSource(MonoSource* s, int width, int height,
                    const std::function<bool(int, int)>& black) {
  const int stride = (width + 15) / 16 * 2;
  std::vector<BYTE> bits(static_cast<size_t>(stride) * height, 0xFF);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (black(x, y)) bits[y * stride + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
    }
  }
  s->bitmap = CreateBitmap(width, height, 1, 1, bits.data());
  s->dc = CreateCompatibleDC(nullptr);
  s->old = static_cast<HBITMAP>(SelectObject(s->dc, s->bitmap));
  s->width = width;
  s->height = height;
}

bool PlacedBlack(const BITMAP& placed, int x, int y) {
  const BYTE* row = static_cast<const BYTE*>(placed.bmBits) + y * placed.bmWidthBytes;
  return !(row[x / 8] & (0x80 >> (x % 8)));
}

std::vector<std::vector<bool>> BuiltinMaskPixels() {
  HBITMAP mask = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(kBuiltinMaskBitmap),
                                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP bm{};
  GetObjectA(mask, sizeof bm, &bm);
  std::vector<std::vector<bool>> pixels(bm.bmHeight, std::vector<bool>(bm.bmWidth));
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colours[2];
  } info{};
  info.h.biSize = sizeof info.h;
  info.h.biWidth = bm.bmWidth;
  info.h.biHeight = -bm.bmHeight;
  info.h.biPlanes = 1;
  info.h.biBitCount = 1;
  const int stride = (bm.bmWidth + 31) / 32 * 4;
  std::vector<BYTE> bits(static_cast<size_t>(stride) * bm.bmHeight);
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, mask, 0, bm.bmHeight, bits.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteDC(dc);
  DeleteObject(mask);
  const bool zeroIsBlack = info.colours[0].rgbRed == 0;
  for (int y = 0; y < bm.bmHeight; ++y) {
    for (int x = 0; x < bm.bmWidth; ++x) {
      const bool bit = bits[y * stride + x / 8] & (0x80 >> (x % 8));
      pixels[y][x] = bit != zeroIsBlack;
    }
  }
  return pixels;
}
