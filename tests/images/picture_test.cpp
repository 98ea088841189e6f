#include <gtest/gtest.h>

#include "images/bmp_files.h"
#include "images/bmp_image.h"
#include "images/picture.h"
#include "scene/scene_state.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace {

constexpr COLORREF kUntouched = RGB(1, 2, 3);

// Palette colour i of the test pictures.
COLORREF Colour(int i) { return RGB(i, 255 - i, (i * 7) & 0xFF); }
uint32_t Entry(int i) {
  const COLORREF c = Colour(i);
  return static_cast<uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
}

// 320 x 200 at 8 bits: each row in colour y, its last column in colour 250.
BmpImage LoadRows320x200() {
  BmpParts p;
  p.width = 320;
  p.height = 200;
  p.bitCount = 8;
  p.table = Palette(256, Entry);
  p.pixels = PackRows(320, 200, 8, [](int x, int y) { return x == 319 ? 250u : static_cast<uint32_t>(y); });
  BmpImage image = FreshImage();
  const std::string path = WriteScratchFile("rows.bmp", BmpFile(p));
  EXPECT_EQ(1, LoadBmpImage(nullptr, path.c_str(), 0, &image));
  return image;
}

void Draw(BmpImage* image, const Canvas& canvas, int layout) {
  Settings().PictureLayout = layout;
  DrawPicture(nullptr, canvas.dc, image, canvas.width, canvas.height);
  GdiFlush();
}

TEST(Picture, CentredAtItsCorner) {
  BmpImage image = LoadRows320x200();
  Canvas c;
  MakeCanvas(&c, 1024, 768, kUntouched);
  Draw(&image, c, 1);
  EXPECT_EQ(Colour(0), c.At(352, 284));
  EXPECT_EQ(kUntouched, c.At(351, 284));
  EXPECT_EQ(kUntouched, c.At(352, 283));
  EXPECT_EQ(Colour(199), c.At(352, 483));
  EXPECT_EQ(Colour(250), c.At(671, 483));
  EXPECT_EQ(kUntouched, c.At(672, 483));
  EXPECT_EQ(kUntouched, c.At(352, 484));
  FreeBmpImage(&image);
}

TEST(Picture, TiledFourByFourWithTheLastRowCut) {
  BmpImage image = LoadRows320x200();
  Canvas c;
  MakeCanvas(&c, 1024, 768, kUntouched);
  Draw(&image, c, 2);
  for (int col = 0; col < 4; ++col) {
    for (int row = 0; row < 4; ++row) {
      const int x = col * 320, y = row * 200;
      EXPECT_EQ(Colour(0), c.At(x, y)) << col << "," << row;
      if (col < 3) {
        EXPECT_EQ(Colour(250), c.At(x + 319, y)) << col << "," << row;
      }
    }
  }
  EXPECT_EQ(Colour(167), c.At(0, 767));  // 768 - 600 = 168 rows of the last tiles
  EXPECT_EQ(Colour(167), c.At(1023, 767));
  EXPECT_EQ(Colour(199), c.At(500, 599));
  // Nothing of the screen is left out.
  for (int y = 0; y < 768; y += 7) {
    for (int x = 0; x < 1024; x += 5) ASSERT_NE(kUntouched, c.At(x, y)) << x << "," << y;
  }
  FreeBmpImage(&image);
}

TEST(Picture, StretchedOverTheWholeScreen) {
  BmpImage image = LoadRows320x200();
  Canvas c;
  MakeCanvas(&c, 1024, 768, kUntouched);
  Draw(&image, c, 0);
  EXPECT_EQ(Colour(0), c.At(0, 0));
  EXPECT_EQ(Colour(199), c.At(0, 767));
  EXPECT_EQ(Colour(250), c.At(1023, 0));
  EXPECT_EQ(Colour(250), c.At(1023, 767));
  EXPECT_EQ(Colour(100), c.At(500, 384));  // 384 * 200 / 768 = 100
  FreeBmpImage(&image);
}

TEST(Picture, WiderThanTheScreenCentredShowsItsMiddle) {
  BmpParts p;
  p.width = 1030;
  p.height = 10;
  p.bitCount = 24;
  p.pixels = PackRows(1030, 10, 24, [](int x, int) { return static_cast<uint32_t>(x << 8 | 0x40); });
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBmpImage(nullptr, WriteScratchFile("wide.bmp", BmpFile(p)).c_str(), 0, &image));
  Canvas c;
  MakeCanvas(&c, 1024, 768, kUntouched);
  Draw(&image, c, 1);
  // The corner is at (-3, 379): screen column 0 shows picture column 3.
  // Red and green hold the column number.
  EXPECT_EQ(RGB(0, 3, 0x40), c.At(0, 379));
  EXPECT_EQ(RGB(4, 2, 0x40), c.At(1023, 379));  // column 1026 = 0x402
  EXPECT_EQ(kUntouched, c.At(0, 378));
  EXPECT_EQ(RGB(0, 3, 0x40), c.At(0, 388));
  EXPECT_EQ(kUntouched, c.At(0, 389));
  FreeBmpImage(&image);
}

TEST(Picture, ASecondPaintMakesNothingNew) {
  BmpImage image = LoadRows320x200();
  Canvas c;
  MakeCanvas(&c, 1024, 768, kUntouched);
  Draw(&image, c, 1);
  const BmpImage first = image;
  ASSERT_NE(nullptr, first.palette);
  ASSERT_NE(nullptr, first.indexTable);
  ASSERT_NE(nullptr, first.memDC);
  ASSERT_NE(nullptr, first.bitmap);
  Draw(&image, c, 2);
  EXPECT_EQ(first.palette, image.palette);
  EXPECT_EQ(first.indexTable, image.indexTable);
  EXPECT_EQ(first.memDC, image.memDC);
  EXPECT_EQ(first.bitmap, image.bitmap);
  EXPECT_EQ(first.oldBitmap, image.oldBitmap);
  EXPECT_EQ(Colour(0), c.At(0, 0));
  FreeBmpImage(&image);
}

TEST(Picture, PaletteAndIndexTableFollowTheColourTable) {
  BmpImage image = LoadRows320x200();
  HPALETTE palette = MakePalette(image.info);
  ASSERT_NE(nullptr, palette);
  PALETTEENTRY entries[256];
  ASSERT_EQ(256u, GetPaletteEntries(palette, 0, 256, entries));
  EXPECT_EQ(GetRValue(Colour(77)), entries[77].peRed);
  EXPECT_EQ(GetGValue(Colour(77)), entries[77].peGreen);
  EXPECT_EQ(GetBValue(Colour(77)), entries[77].peBlue);
  EXPECT_EQ(0, entries[77].peFlags);
  DeleteObject(palette);
  auto* table = static_cast<BYTE*>(MakeIndexTable(image.info));
  ASSERT_NE(nullptr, table);
  EXPECT_EQ(0, memcmp(table, image.info, 40));
  const WORD* indices = reinterpret_cast<const WORD*>(table + 40);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(i, indices[i]);
  EXPECT_EQ(40u + 2 * 256, HeapSize(GetProcessHeap(), 0, table));
  HeapFree(GetProcessHeap(), 0, table);
  FreeBmpImage(&image);
}

TEST(Picture, TrueColourPictureKeepsItsColours) {
  BmpParts p;
  p.width = 3;
  p.height = 1;
  p.bitCount = 24;
  p.pixels = PackRows(3, 1, 24, [](int x, int) { return x == 0 ? 0x123456u : x == 1 ? 0xFEDCBAu : 0x00FF00u; });
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBmpImage(nullptr, WriteScratchFile("rgb.bmp", BmpFile(p)).c_str(), 0, &image));
  Canvas c;
  MakeCanvas(&c, 3, 1, kUntouched);
  Draw(&image, c, 1);
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), c.At(0, 0));
  EXPECT_EQ(RGB(0xFE, 0xDC, 0xBA), c.At(1, 0));
  EXPECT_EQ(RGB(0, 0xFF, 0), c.At(2, 0));
  FreeBmpImage(&image);
}

TEST(Picture, OneBitPictureInItsOwnColours) {
  BmpParts p;
  p.width = 9;
  p.height = 2;
  p.bitCount = 1;
  p.table = {0x2040A0, 0xC08010};
  p.pixels = PackRows(9, 2, 1, [](int x, int y) { return static_cast<uint32_t>((x + y) & 1); });
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBmpImage(nullptr, WriteScratchFile("one.bmp", BmpFile(p)).c_str(), 0, &image));
  Canvas c;
  MakeCanvas(&c, 9, 2, kUntouched);
  Draw(&image, c, 1);
  EXPECT_EQ(RGB(0x20, 0x40, 0xA0), c.At(0, 0));
  EXPECT_EQ(RGB(0xC0, 0x80, 0x10), c.At(1, 0));
  EXPECT_EQ(RGB(0xC0, 0x80, 0x10), c.At(8, 1));
  FreeBmpImage(&image);
}

TEST(Picture, WithoutSizeNothingIsTiled) {
  // A record whose header says 0 x 0 (the loader refuses such files, but the
  // painter must not loop on one either).
  BmpImage image = FreshImage();
  image.info->biSize = 40;
  image.info->biWidth = 0x10000;  // low 16 bits: 0
  image.info->biHeight = 5;
  image.info->biPlanes = 1;
  image.info->biBitCount = 24;
  image.bitsOffset = 40;
  Canvas c;
  MakeCanvas(&c, 64, 48, kUntouched);
  Draw(&image, c, 2);
  EXPECT_EQ(kUntouched, c.At(0, 0));
  EXPECT_EQ(0, PictureWidth(image.info));
  FreeBmpImage(&image);
}

LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_ERASEBKGND) return 1;
  return DefWindowProcA(w, m, wp, lp);
}

HWND PlainWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "PictureTestWindow";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300,
                           nullptr, nullptr, wc.hInstance, nullptr);
  Scene().screenWidth = 400;
  Scene().screenHeight = 300;
  return w;
}

TEST(Picture, PaintCentresInTheWindowAndClosesTheBracket) {
  BmpImage image = LoadRows320x200();
  HWND w = PlainWindow();
  Settings().PictureLayout = 1;
  InvalidateRect(w, nullptr, FALSE);
  PaintPicture(w, &image);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));
  EXPECT_EQ(Colour(0), PixelAt(w, 40, 50));
  EXPECT_EQ(Colour(250), PixelAt(w, 359, 50));
  DestroyWindow(w);
  FreeBmpImage(&image);
}

TEST(Picture, LayoutThreeDrawsNothingButRealisesAndCloses) {
  BmpImage image = LoadRows320x200();
  Canvas c;
  MakeCanvas(&c, 1024, 768, kUntouched);
  Draw(&image, c, 3);
  EXPECT_EQ(kUntouched, c.At(352, 284));
  EXPECT_EQ(kUntouched, c.At(0, 0));
  EXPECT_NE(nullptr, image.palette);

  HWND w = PlainWindow();
  InvalidateRect(w, nullptr, FALSE);
  PaintPicture(w, &image);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));
  // The picture's palette is no longer selected in the window's DC.
  HDC dc = GetDC(w);
  HPALETTE inDC = static_cast<HPALETTE>(GetCurrentObject(dc, OBJ_PAL));
  EXPECT_NE(image.palette, inDC);
  ReleaseDC(w, dc);
  DestroyWindow(w);
  FreeBmpImage(&image);
}

}  // namespace
