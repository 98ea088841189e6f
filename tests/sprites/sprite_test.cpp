#include "snow/snow_help.h"

class Sprites : public testing::Test {
 protected:
  void SetUp() override { saver = StartSaver(SnowOnly), dc = GetDC(saver); }
  void TearDown() override { ReleaseDC(saver, dc), StopSaver(saver); }
  HWND saver = nullptr;
  HDC dc = nullptr;
};

TEST(BitmapRect, LeavesTheRectangleOfNoBitmapAsItIs) {
  RECT r{1, 2, 3, 4};
  BitmapRect(&r, nullptr);
  EXPECT_TRUE(r.left == 1 && r.top == 2 && r.right == 3 && r.bottom == 4);
}

// The image where the mask is opaque, the screen elsewhere, wherever it is drawn.
TEST_F(Sprites, DrawMaskedShowsTheImageOnlyWhereTheMaskIsOpaque) {
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP mask = CreateBitmap(20, 10, 1, 1, nullptr), image = CreateCompatibleBitmap(dc, 20, 10);
  // Opaque on a diamond: white there in the mask, coloured in the image, which is white elsewhere.
  auto opaque = [](int x, int y) { return std::abs(x - 10) + std::abs(y - 5) * 2 < 9; };
  auto colour = [](int x, int y) { return (x % 7u) << 20 | (200u - 9 * y) << 8 | (60u + 5 * x); };
  for (HBITMAP b : {mask, image}) {
    SelectObject(memory, b);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 20; ++x) {
        const uint32_t c = opaque(x, y) == (b == mask) ? 0xFFFFFF : b == mask ? 0 : colour(x, y);
        SetPixel(memory, x, y, RGB(c >> 16, c >> 8, c));
      }
  }
  DeleteDC(memory);
  Capture want = Detail(saver);
  for (const POINT at : {POINT{50, 60}, POINT{500, 61}}) {
    DrawMasked(dc, mask, image, at.x, at.y, 20, 10);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 20; ++x)
        if (opaque(x, y)) want.pixels[(at.y + y) * want.width + at.x + x] = colour(x, y);
  }
  EXPECT_TRUE(want == CaptureSaver(saver));
  DeleteObject(mask), DeleteObject(image);
}

// Only the active flakes with a saved background that meet the rectangle,
// given either way round, get their background back.
TEST_F(Sprites, EraseFlakesUnderPutsBackOnlyTheDrawnActiveFlakesUnderIt) {
  ChangeSettings([](SettingsRecord& s) { s.FlakeCount = 3; s.FlakeWobble = 0; });
  const Capture detail = Detail(saver);
  PlaceFlake(0, 100, 97, 0, 3, 1);  // drawn at (100, 100), under the rectangle
  PlaceFlake(2, 300, 97, 0, 3, 1);  // drawn elsewhere
  PlaceFlake(3, 140, 97, 0, 3, 1);  // drawn under it, but past the count
  for (int i : {0, 2, 3}) UpdateFlake(dc, i);
  PlaceFlake(1, 120, 100, 0, 3, 1);  // under it, never drawn: nothing saved
  const auto slot0 = Slot(0);
  PatBlt(dc, 0, 0, detail.width, detail.height, WHITENESS);
  Capture want = CaptureSaver(saver);  // white, but for slot 0's saved background
  for (int y = 100; y < 107; ++y)
    for (int x = 100; x < 107; ++x) want.pixels[y * want.width + x] = detail.At(x, y);
  EraseFlakesUnder(dc, RECT{150, 104, 105, 90});  // given the wrong way round
  EXPECT_TRUE(want == CaptureSaver(saver) && slot0 == Slot(0));
}

HBITMAP WINAPI NoDib(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD) { return nullptr; }

// Without the bitmaps to put them together and save their background in,
// the sleigh and the trees draw nothing, and the sleigh moves on.
TEST(SpritesWithoutBitmaps, DrawNothingAndTheAnimationGoesOn) {
  SetSpriteDibMaker(NoDib);
  HWND saver = StartSaver([](SettingsRecord& s) { s.MaskPath[0] = 0, s.SnowfallOn = 0; });
  SetSpriteDibMaker(nullptr);
  const Capture before = Detail(saver);
  const int x = Sleigh().sleighX;
  RunFrames(saver, 40);
  EXPECT_TRUE(before == CaptureSaver(saver));
  EXPECT_EQ(x + 40, Sleigh().sleighX);
  StopSaver(saver);
}
