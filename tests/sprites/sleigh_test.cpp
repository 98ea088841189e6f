// Santa's sleigh, the fir trees and their art.
#include <climits>

#include "resources/resource.h"
#include "snow/snow_help.h"
#include "sprites/trees.h"

namespace {

void Calm(SettingsRecord& s) { s.WindOn = 0, s.SnowfallOn = 0, s.SceneryOn = 0, s.MaskPath[0] = 0; }

// A bitmap's pixels as 0xRRGGBB, top row first.
std::vector<uint32_t> Pixels(HBITMAP b) {
  RECT r{0, 0, 0, 0};
  BitmapRect(&r, b);
  BITMAPINFOHEADER bi{sizeof bi, r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> px(r.right * r.bottom);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, b, 0, r.bottom, px.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  for (uint32_t& p : px) p &= 0xFFFFFF;
  return px;
}

// The rows of the table of sets: image and mask ids of frames 0..3.
const int kImages[kSleighKinds][4] = {{125, 126, 127, 128}, {109, 110, 112, 111}, {117, 118, 119, 120},
    {160, 161, 162, 163}, {152, 153, 154, 155}, {144, 146, 148, 150}, {144, 118, 148, 120}};
const int kMasks[kSleighKinds][4] = {{129, 130, 131, 132}, {113, 114, 115, 116}, {121, 122, 123, 124},
    {164, 165, 166, 167}, {156, 157, 158, 159}, {145, 147, 149, 151}, {145, 122, 149, 124}};
const SIZE kSizes[3] = {{56, 8}, {88, 17}, {177, 34}};

// Every image is 8 bits with a colour table and pure white wherever its
// 1-bit mask is black; sizes as the set's.
TEST(SpriteArt, EveryPairHasItsSizeAndDepthAndIsWhiteWhereTransparent) {
  auto header = [](int id) {
    HRSRC res = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), RT_BITMAP);
    return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(GetModuleHandleA(nullptr), res)));
  };
  auto pixel = [](const BITMAPINFOHEADER* h, int x, int y) {  // the colour-table entry, 0xRRGGBB
    const auto* table = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(h) + h->biSize);
    const int colours = h->biClrUsed ? h->biClrUsed : 1 << h->biBitCount;
    const auto* row = reinterpret_cast<const uint8_t*>(table + colours) +
                      (h->biHeight - 1 - y) * ((h->biWidth * h->biBitCount + 31) / 32 * 4);
    const int index = h->biBitCount == 8 ? row[x] : row[x / 8] >> (7 - x % 8) & 1;
    return table[index] & 0xFFFFFF;
  };
  std::vector<std::tuple<int, int, SIZE>> pairs = {{IDB_TREE, IDB_TREE_MASK, SIZE{31, 32}}};
  for (int k = 0; k < kSleighKinds; ++k)
    for (int f = 0; f < 4; ++f) pairs.push_back({kImages[k][f], kMasks[k][f], kSizes[k == 6 ? 2 : k % 3]});
  for (auto [image, mask, size] : pairs) {
    const BITMAPINFOHEADER *i = header(image), *m = header(mask);
    ASSERT_TRUE(i && m) << image;
    EXPECT_EQ(std::tuple(8, 1, size.cx, size.cy, size.cx, size.cy),
              std::tuple(i->biBitCount, m->biBitCount, i->biWidth, i->biHeight, m->biWidth, m->biHeight)) << image;
    int opaque = 0, stained = 0;
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x) {
        const uint32_t maskPixel = pixel(m, x, y);
        EXPECT_TRUE(maskPixel == 0 || maskPixel == 0xFFFFFF) << mask;
        opaque += maskPixel != 0;
        stained += maskPixel == 0 && pixel(i, x, y) != 0xFFFFFF;
      }
    EXPECT_EQ(0, stained) << image << ": not white where transparent";
    EXPECT_GT(opaque, size.cx * size.cy / 8) << mask;
  }
}

TEST(Sleigh, LoadsEachSetsRowAndDrawsNothingWithoutOne) {
  HWND saver = StartSaver(Calm);
  HINSTANCE self = GetModuleHandleA(nullptr);
  for (int k = 0; k < kSleighKinds; ++k) {
    LoadSleighSprites(self, k);
    for (int f = 0; f < 4; ++f) {
      HBITMAP image = static_cast<HBITMAP>(LoadImageA(self, MAKEINTRESOURCEA(kImages[k][f]), 0, 0, 0, 0));
      HBITMAP mask = static_cast<HBITMAP>(LoadImageA(self, MAKEINTRESOURCEA(kMasks[k][f]), 0, 0, 0, 0));
      EXPECT_TRUE(Pixels(image) == Pixels(Sleigh().sleighImages[f])) << k << ":" << f;
      EXPECT_TRUE(Pixels(mask) == Pixels(Sleigh().sleighMasks[f])) << k << ":" << f;
      DeleteObject(image), DeleteObject(mask);
    }
    EXPECT_EQ(-kSizes[k == 6 ? 2 : k % 3].cx, Sleigh().sleighX) << "a new pass starts";
  }
  LoadSleighSprites(self, 7);  // a kind no set has: nothing is drawn
  EXPECT_EQ(nullptr, Sleigh().sleighImages[0]);
  const Capture before = Detail(saver);
  RunFrames(saver, 8);
  EXPECT_TRUE(before == CaptureSaver(saver));

  StopSaver(saver);
}

// Without snowfall no flake calms the air after a gust: the sleigh must not
// stand still for the whole pause until the next gust.
TEST(Sleigh, KeepsMovingThroughThePauseAfterAGustWithoutSnowfall) {
  HWND saver = StartSaver(Calm);
  for (UINT_PTR id : {kCalmTimer, kRiseEndTimer, kFallEndTimer}) RunWindTimer(saver, id);
  const SettingsRecord& s = Settings();
  int moves = 0;
  for (int frame = 0; frame < s.GustPause / s.FramePeriod; ++frame) {
    const int x = Sleigh().sleighX;
    RunFrames(saver, 1);
    moves += Sleigh().sleighX != x;
  }
  EXPECT_EQ(s.GustPause / s.FramePeriod / s.SleighFrameDivider, moves);
  StopSaver(saver);
}

// A pass starts at the left edge, at the height of the generator's first draw.
// However large the stored speed, a move is at most the screen's width, and
// a gust's push adds to it without overflow; however far it climbs, the
// sleigh is held at row 5.
TEST(Sleigh, StartsAtTheLeftEdgeAndStaysWithinTheScreen) {
  HWND saver = StartSaver([](SettingsRecord& s) { Calm(s), s.SleighFrameDivider = 1, s.SleighSpeed = INT_MAX; });
  EXPECT_EQ(std::tuple(-177, Lcg().Below(768), 0, 1),
            std::tuple(Sleigh().sleighX, Sleigh().sleighY, Sleigh().sleighFrame, Sleigh().backgroundPending));
  RunFrames(saver, 1);
  EXPECT_EQ(-177 + 1024, Sleigh().sleighX);
  ChangeSettings([](SettingsRecord& s) { s.SleighSpeed = 4, s.SleighClimb = 1000; });  // a climb up leaves the screen
  int atTop = 0;
  for (int frame = 0; frame < 300; ++frame) {
    RunFrames(saver, 1);
    EXPECT_GE(Sleigh().sleighY, 5);
    atTop += Sleigh().sleighY == 5;
  }
  EXPECT_GT(atTop, 0) << "held at row 5";
  StopSaver(saver);
}

TEST(Trees, StandInTheirBoundsAndStay) {
  HWND saver = StartSaver([](SettingsRecord& s) { Calm(s), s.SceneryOn = 17; });
  POINT was[kTrees];
  for (int i = 0; i < kTrees; ++i) {
    was[i] = TreePlace(i);
    EXPECT_TRUE(was[i].x >= 100 && was[i].x <= 923 && was[i].y >= 50 && was[i].y <= 617) << i;
  }
  RunFrames(saver, 40);
  const Capture drawn = CaptureSaver(saver);
  EXPECT_NE(0x808080u, drawn.At(was[0].x + 15, was[0].y + 16)) << "a tree stands there";
  for (int i = 0; i < kTrees; ++i) EXPECT_EQ(std::pair(was[i].x, was[i].y), std::pair(TreePlace(i).x, TreePlace(i).y));
  StopSaver(saver);
}

// A tree is drawn again only where something was drawn over it: a repaint of
// the background, a flake's first drawing and its moves. A pixel set there
// by someone who does not say so stays: the tree is not drawn every frame.
TEST(Trees, AreDrawnAgainOnlyWhereSomethingWasDrawnOverThem) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Calm(s), s.SnowfallOn = 1, s.SceneryOn = 1, s.SleighOn = 0, s.FlakeCount = 1, s.FlakeWobble = 0;
  });
  PlaceFlake(0, 10, 600, 0, 0, 1);  // out of the way
  RunFrames(saver, 2);
  const POINT t = TreePlace(0), mid{t.x + 15, t.y + 16};  // a pixel of the tree, white in the flake below
  const uint32_t tree = CaptureSaver(saver).At(mid.x, mid.y);
  ASSERT_NE(0x808080u, tree);
  HDC dc = GetDC(saver);
  SetPixel(dc, mid.x, mid.y, RGB(1, 2, 3));
  RunFrames(saver, 1);
  EXPECT_EQ(0x010203u, CaptureSaver(saver).At(mid.x, mid.y)) << "drawn again with nothing over it";
  HRGN rect = CreateRectRgn(mid.x, mid.y, mid.x + 1, mid.y + 1);
  RepaintRegion(rect);
  DeleteObject(rect);
  RunFrames(saver, 1);
  EXPECT_EQ(tree, CaptureSaver(saver).At(mid.x, mid.y)) << "after a repaint";
  SetPixel(dc, mid.x, mid.y, RGB(1, 2, 3));
  RunFrames(saver, 1);
  EXPECT_EQ(0x010203u, CaptureSaver(saver).At(mid.x, mid.y)) << "drawn again a second time";
  PlaceFlake(0, mid.x - 3, mid.y - 4, 0, 1, 1);  // first drawn, then moved a row a frame
  for (int frame = 0; frame < 3; ++frame) {
    RunFrames(saver, 1);
    EXPECT_EQ(tree, CaptureSaver(saver).At(mid.x, mid.y)) << "frame " << frame << " of a flake over it";
  }
  ReleaseDC(saver, dc);
  StopSaver(saver);
}

}  // namespace
