#include "sprites/sprite_blit.h"

#include <cstdint>
#include <vector>

#include "images/bitmap_rect.h"
#include "surface/surface.h"

namespace {

// The largest sprite the work area holds: the large sleigh.
constexpr int kWorkWidth = 192;
constexpr int kWorkHeight = 48;

// The work area: a 32-bit top-down DIB section kept selected in its DC, so
// that a sprite can be put together on its pixels directly.
BitmapDC work;
HDC maskDC = nullptr;
HDC imageDC = nullptr;
DibSectionMaker makeDib = CreateDIBSection;

// A sprite's mask and image read once into 32-bit pixels: the mask as
// white (opaque) or black, the image in its colours.
struct SpritePixels {
  HBITMAP mask;
  HBITMAP image;
  int width;
  int height;
  std::vector<uint32_t> maskPixels;
  std::vector<uint32_t> imagePixels;
};
std::vector<SpritePixels> prepared;

std::vector<uint32_t> Read(HBITMAP bitmap, int w, int h) {
  BITMAPINFOHEADER bi{sizeof bi, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return pixels;
}

const SpritePixels* Find(HBITMAP mask, HBITMAP image, int w, int h) {
  for (const SpritePixels& s : prepared) {
    if (s.mask == mask && s.image == image && w <= s.width && h <= s.height) return &s;
  }
  return nullptr;
}

// The screen under the sprite ORed with the mask, then ANDed with the image,
// as the raster operations of the plain masked blit do it, in memory. False
// when that changes no pixel: the screen already shows the sprite there.
bool Compose(const SpritePixels& s, int w, int h) {
  bool changed = false;
  for (int y = 0; y < h; ++y) {
    uint32_t* row = work.bits + static_cast<size_t>(y) * kWorkWidth;
    const uint32_t* mask = &s.maskPixels[static_cast<size_t>(y) * s.width];
    const uint32_t* image = &s.imagePixels[static_cast<size_t>(y) * s.width];
    for (int x = 0; x < w; ++x) {
      const uint32_t composed = (row[x] | mask[x]) & image[x];
      changed |= (composed ^ row[x]) & 0xFFFFFF;
      row[x] = composed;
    }
  }
  return changed;
}

}  // namespace

HBITMAP LoadSprite(HINSTANCE instance, int id) {
  return static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                         LR_DEFAULTSIZE | LR_CREATEDIBSECTION));
}

BitmapDC MakeSpriteDibDC(int width, int height) { return MakeDibDC(width, height, makeDib); }

void SetSpriteDibMaker(DibSectionMaker maker) { makeDib = maker ? maker : CreateDIBSection; }

void CreateSpriteDrawing() {
  work = MakeSpriteDibDC(kWorkWidth, kWorkHeight);  // without it DrawMasked draws nothing
  maskDC = CreateCompatibleDC(nullptr);
  imageDC = CreateCompatibleDC(nullptr);
}

void DeleteSpriteDrawing() {
  FreeBitmapDC(&work);
  if (maskDC) DeleteDC(maskDC);
  if (imageDC) DeleteDC(imageDC);
  maskDC = imageDC = nullptr;
  prepared.clear();
}

void PrepareSprite(HBITMAP mask, HBITMAP image) {
  RECT size{0, 0, 0, 0};
  BitmapRect(&size, mask);
  if (!mask || !image || Find(mask, image, size.right, size.bottom)) return;
  prepared.push_back(SpritePixels{mask, image, size.right, size.bottom, Read(mask, size.right, size.bottom),
                                  Read(image, size.right, size.bottom)});
}

void ForgetSprite(HBITMAP mask, HBITMAP image) {
  for (size_t i = 0; i < prepared.size(); ++i) {
    if (prepared[i].mask == mask && prepared[i].image == image) {
      prepared.erase(prepared.begin() + i);
      return;
    }
  }
}

void DrawMasked(HDC dc, HBITMAP mask, HBITMAP image, int x, int y, int w, int h) {
  if (!work.dc || w <= 0 || h <= 0 || w > kWorkWidth || h > kWorkHeight) return;
  TakeMapMode(work.dc, dc);
  // The screen under the sprite; then white where the mask is opaque, and
  // the image ANDed in: its pixels where opaque, the screen (AND white)
  // elsewhere. One copy back, so the sprite never flickers; none when the
  // screen shows the sprite already (a tree nothing passed), which spares
  // the display the copy.
  BitBlt(work.dc, 0, 0, w, h, dc, x, y, SRCCOPY);
  if (const SpritePixels* s = Find(mask, image, w, h)) {
    GdiFlush();
    if (!Compose(*s, w, h)) return;
  } else {
    TakeMapMode(maskDC, dc);
    TakeMapMode(imageDC, dc);
    HGDIOBJ maskStart = SelectObject(maskDC, mask);
    BitBlt(work.dc, 0, 0, w, h, maskDC, 0, 0, SRCPAINT);
    SelectObject(maskDC, maskStart);
    HGDIOBJ imageStart = SelectObject(imageDC, image);
    BitBlt(work.dc, 0, 0, w, h, imageDC, 0, 0, SRCAND);
    SelectObject(imageDC, imageStart);
  }
  BitBlt(dc, x, y, w, h, work.dc, 0, 0, SRCCOPY);
  WrittenOver(RECT{x, y, x + w, y + h});
}
