#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "scene/scene_state.h"
#include "snow/flakes.h"
#include "snow/snow_support.h"
#include "sprites/sleigh.h"
#include "sprites/sprite_blit.h"

namespace {

void Quiet(SettingsRecord& s) {
  s.MaskPath[0] = 0;
  s.SleighOn = 0;
  s.SceneryOn = 0;
}

TEST(SpriteBlit, BitmapRectOfANullBitmapLeavesTheRectangle) {
  RECT r{1, 2, 3, 4};
  BitmapRect(&r, nullptr);
  EXPECT_EQ(1, r.left);
  EXPECT_EQ(4, r.bottom);
  HBITMAP b = CreateBitmap(13, 9, 1, 1, nullptr);
  BitmapRect(&r, b);
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_EQ(13, r.right);
  EXPECT_EQ(9, r.bottom);
  DeleteObject(b);
}

// A 20 x 10 sprite: the mask is opaque (white) on a diamond, the image is
// coloured there and white elsewhere.
bool Opaque(int x, int y) { return std::abs(x - 10) + std::abs(y - 5) * 2 < 9; }
COLORREF ImageColour(int x, int y) { return RGB(20 * (x % 7), 200 - 15 * y, 60 + x * 5); }

TEST(SpriteBlit, DrawMaskedShowsTheImageOnlyWhereTheMaskIsWhite) {
  HWND saver = StartSaver(Quiet);
  PaintDetail(saver);
  const Capture before = CaptureSaver(saver);
  std::vector<unsigned char> bits(4 * 10, 0);  // rows of 32 bits
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x)
      if (Opaque(x, y)) bits[y * 4 + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
  HBITMAP mask = CreateBitmap(20, 10, 1, 1, nullptr);
  BITMAPINFO* mi = static_cast<BITMAPINFO*>(calloc(1, sizeof(BITMAPINFOHEADER) + 8));
  mi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  mi->bmiHeader.biWidth = 20;
  mi->bmiHeader.biHeight = -10;
  mi->bmiHeader.biPlanes = 1;
  mi->bmiHeader.biBitCount = 1;
  mi->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
  HDC dc = GetDC(saver);
  SetDIBits(dc, mask, 0, 10, bits.data(), mi, DIB_RGB_COLORS);
  free(mi);
  HBITMAP image = CreateCompatibleBitmap(dc, 20, 10);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ start = SelectObject(memory, image);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) SetPixel(memory, x, y, Opaque(x, y) ? ImageColour(x, y) : RGB(255, 255, 255));
  SelectObject(memory, start);
  DeleteDC(memory);

  DrawMasked(dc, mask, image, 50, 60, 20, 10);
  DrawMasked(dc, mask, image, 500, 61, 20, 10);  // the cached work bitmap again
  ReleaseDC(saver, dc);
  Capture after = CaptureSaver(saver);
  for (int ox : {50, 500}) {
    const int oy = ox == 50 ? 60 : 61;
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 20; ++x) {
        const COLORREF c = ImageColour(x, y);
        const uint32_t want = Opaque(x, y)
                                  ? (GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c))
                                  : before.At(ox + x, oy + y);
        ASSERT_EQ(want, after.At(ox + x, oy + y)) << ox << ": " << x << "," << y;
      }
    }
  }
  size_t changed = 0;
  for (size_t i = 0; i < after.pixels.size(); ++i) changed += after.pixels[i] != before.pixels[i];
  size_t opaque = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) opaque += Opaque(x, y);
  EXPECT_LE(changed, 2 * opaque) << "nothing outside the sprites changed";
  DeleteObject(mask);
  DeleteObject(image);
  StopSaver(saver);
}

TEST(SpriteBlit, SaveAndRestoreCopyTheFlakesPixelsExactly) {
  HWND saver = StartSaver(Quiet);
  PaintDetail(saver);
  const Capture before = CaptureSaver(saver);
  HDC dc = Scene().workingDC;
  for (int i = 0; i < kFlakeSlots; ++i) {
    PlaceFlake(i, (i * 37) % 900, (i * 53) % 700, 1, 3, i % 3);
    SaveFlakeBackground(dc, FlakeAt(i));
    EXPECT_EQ(0, FlakeAt(i).unsaved);
  }
  FillSaver(saver, RGB(0, 255, 0));
  for (int i = 0; i < kFlakeSlots; i += 2) {
    Flake& f = FlakeAt(i);
    RestoreFlakeBackground(dc, f, f.x + 100, f.y + 50);
  }
  Capture after = CaptureSaver(saver);
  for (int i = 0; i < kFlakeSlots; i += 2) {
    const Flake& f = FlakeAt(i);
    const int size = FlakeKindAt(f.kind).extent.right;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        ASSERT_EQ(before.At(f.x + x, f.y + y), after.At(f.x + 100 + x, f.y + 50 + y)) << i;
  }
  StopSaver(saver);
}

TEST(SpriteBlit, EraseFlakesUnderTouchesOnlyActiveSavedFlakes) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Quiet(s);
    s.FlakeCount = 3;
  });
  PaintDetail(saver);
  const Capture before = CaptureSaver(saver);
  HDC dc = Scene().workingDC;
  PlaceFlake(0, 100, 100, 1, 3, 1);  // saved, under the rectangle
  PlaceFlake(1, 120, 100, 1, 3, 1);  // unsaved, under it
  PlaceFlake(2, 300, 100, 1, 3, 1);  // saved, elsewhere
  PlaceFlake(3, 140, 100, 1, 3, 1);  // saved, under it, but not active
  for (int i : {0, 2, 3}) SaveFlakeBackground(dc, FlakeAt(i));
  Flake copies[4];
  memcpy(copies, &FlakeAt(0), sizeof copies);
  FillSaver(saver, RGB(0, 255, 0));
  EraseFlakesUnder(RECT{105, 90, 150, 104});
  Capture after = CaptureSaver(saver);
  EXPECT_EQ(before.At(103, 103), after.At(103, 103));
  EXPECT_EQ(before.At(100, 106), after.At(100, 106)) << "the whole flake, not just the overlap";
  EXPECT_EQ(0x00FF00u, after.At(123, 103));
  EXPECT_EQ(0x00FF00u, after.At(303, 103));
  EXPECT_EQ(0x00FF00u, after.At(143, 103));
  EXPECT_EQ(0x00FF00u, after.At(110, 95));
  EXPECT_EQ(0, memcmp(copies, &FlakeAt(0), sizeof copies)) << "no flake field changes";

  Settings().FlakeCount = 0;
  FillSaver(saver, RGB(0, 255, 0));
  EraseFlakesUnder(RECT{0, 0, 1000, 700});
  EXPECT_EQ(0x00FF00u, CaptureSaver(saver).At(103, 103));
  StopSaver(saver);
}

TEST(SpriteBlit, RestoringTheSleighTakesExactlyItsRectangleOffTheOccupiedSet) {
  HWND saver = StartSaver(Quiet);
  SleighState& sleigh = Sleigh();
  sleigh.sleighMasks[0] = CreateBitmap(20, 10, 1, 1, nullptr);
  sleigh.sleighFrame = 0;
  OccupiedAddRect(RECT{105, 105, 112, 112});  // a flake reaching under the sleigh
  OccupiedAddRect(RECT{100, 100, 120, 110});  // the sleigh
  RestoreSleighBackground(Scene().workingDC, 100, 100);
  EXPECT_FALSE(OccupiedIntersects(RECT{100, 100, 120, 110}));
  EXPECT_TRUE(OccupiedIntersects(RECT{105, 110, 112, 111}));
  HRGN expected = CreateRectRgn(105, 110, 112, 112);
  HRGN occupied = OccupiedAsRegion();
  EXPECT_TRUE(EqualRgn(expected, occupied));
  RECT erase;
  GetRgnBox(Scene().eraseRegion, &erase);
  EXPECT_EQ(100, erase.left);
  EXPECT_EQ(110, erase.bottom);
  DeleteObject(expected);
  DeleteObject(occupied);
  DeleteObject(sleigh.sleighMasks[0]);
  sleigh.sleighMasks[0] = nullptr;
  StopSaver(saver);
}

// The occupied set against a real region given the same calls, on and off
// the screen, with the per-frame clip in between.
TEST(OccupiedSet, MatchesARegionThroughAddsRemovesAndClips) {
  HWND saver = StartSaver(Quiet);
  const int w = Scene().screenWidth, h = Scene().screenHeight;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  HRGN rect = CreateRectRgn(0, 0, 0, 0);
  Lcg g;
  g.state = 12345;
  for (int step = 0; step < 4000; ++step) {
    const int x = g.Below(w + 80) - 40, y = g.Below(h + 80) - 40;
    const int size = g.Below(3) == 0 ? 3 : (g.Below(4) == 0 ? 25 : 7);
    const RECT r{x, y, x + size, y + size / (1 + g.Below(2))};
    SetRectRgn(rect, r.left, r.top, r.right, r.bottom);
    ASSERT_EQ(RectInRegion(region, &r) != 0, OccupiedIntersects(r)) << step;
    const int op = g.Below(10);
    if (op < 5) {
      OccupiedAddRect(r);
      CombineRgn(region, region, rect, RGN_OR);
    } else if (op < 9) {
      OccupiedRemoveRect(r);
      CombineRgn(region, region, rect, RGN_DIFF);
    } else {
      OccupiedClipToScreen();
      SetRectRgn(rect, 0, 0, w, h);
      CombineRgn(region, region, rect, RGN_AND);
    }
    if (step % 500 == 0) {
      HRGN all = OccupiedAsRegion();
      ASSERT_TRUE(EqualRgn(all, region)) << step;
      DeleteObject(all);
    }
  }
  HRGN all = OccupiedAsRegion();
  EXPECT_TRUE(EqualRgn(all, region));
  DeleteObject(all);
  DeleteObject(rect);
  DeleteObject(region);
  StopSaver(saver);
}

}  // namespace
