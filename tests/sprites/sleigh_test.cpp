// Santa's sleigh, the fir trees and their art.
#include <climits>

#include "resources/resource.h"
#include "snow/snow_help.h"
#include "sprites/trees.h"

namespace {

void Calm(SettingsRecord& s) { s.WindOn = 0, s.SnowfallOn = 0, s.SceneryOn = 0, s.MaskPath[0] = 0; }

// A bitmap's pixels as 0xRRGGBB, top row first, and its size and depth.
struct Picture {
  std::vector<uint32_t> pixels;
  SIZE size;
  int depth;
};
Picture Read(HBITMAP b) {
  DIBSECTION d{};
  GetObjectA(b, sizeof d, &d);
  const LONG w = d.dsBm.bmWidth, h = d.dsBm.bmHeight;
  BITMAPINFOHEADER bi{sizeof bi, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> px(w * h);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, b, 0, h, px.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  for (uint32_t& p : px) p &= 0xFFFFFF;
  return {px, {w, h}, d.dsBmih.biBitCount};
}

// An image of 8 bits and its mask of 1 bit, of the size given: the image pure
// white wherever the mask is black, the mask opaque on at least an eighth.
void ExpectSpritePair(HBITMAP image, HBITMAP mask, SIZE size, const std::string& name) {
  const Picture i = Read(image), m = Read(mask);
  EXPECT_EQ(std::tuple(8, 1, size.cx, size.cy, size.cx, size.cy),
            std::tuple(i.depth, m.depth, i.size.cx, i.size.cy, m.size.cx, m.size.cy)) << name;
  int opaque = 0, stained = 0;
  for (size_t p = 0; p < m.pixels.size() && p < i.pixels.size(); ++p) {
    EXPECT_TRUE(m.pixels[p] == 0 || m.pixels[p] == 0xFFFFFF) << name;
    opaque += m.pixels[p] != 0;
    stained += m.pixels[p] == 0 && i.pixels[p] != 0xFFFFFF;
  }
  EXPECT_EQ(0, stained) << name << ": not white where transparent";
  EXPECT_GT(opaque, size.cx * size.cy / 8) << name;
}

// Each set loads the art of its size and nose, frame by frame as the files
// are numbered (the blinking nose red on frames 0 and 2 only), and starts a
// pass; the fir tree's art is of its size too. A kind no set has draws nothing.
TEST(Sleigh, EachSetLoadsItsArtAndAKindWithoutOneDrawsNothing) {
  HWND saver = StartSaver(Calm);
  HINSTANCE self = GetModuleHandleA(nullptr);
  const char* sizes[] = {"small", "medium", "large"};
  const SIZE kSizes[3] = {{56, 8}, {88, 17}, {177, 34}};
  for (int k = 0; k < kSleighKinds; ++k) {
    LoadSleighSprites(self, k);
    const int size = k == 6 ? 2 : k % 3;
    for (int f = 0; f < 4; ++f) {
      const std::string name = std::string("sleigh-") + sizes[size] + (k < 3 || (k == 6 && f % 2) ? "-plain-" : "-red-") +
                               std::to_string(f);
      HBITMAP image = SpriteFile(name), mask = SpriteFile(name + "-mask");
      EXPECT_TRUE(Read(image).pixels == Read(Sleigh().sleighImages[f]).pixels) << k << ": " << name;
      EXPECT_TRUE(Read(mask).pixels == Read(Sleigh().sleighMasks[f]).pixels) << k << ": " << name;
      ExpectSpritePair(Sleigh().sleighImages[f], Sleigh().sleighMasks[f], kSizes[size], name);
      DeleteObject(image), DeleteObject(mask);
    }
    EXPECT_EQ(-kSizes[size].cx, Sleigh().sleighX) << "a new pass starts";
  }
  HBITMAP tree = LoadSprite(self, IDB_TREE), treeMask = LoadSprite(self, IDB_TREE_MASK);
  ExpectSpritePair(tree, treeMask, SIZE{31, 32}, "tree");
  DeleteObject(tree), DeleteObject(treeMask);
  LoadSleighSprites(self, 7);
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
  auto next = [&] { return RunFrames(saver, 1), CaptureSaver(saver).At(mid.x, mid.y); };
  const uint32_t tree = CaptureSaver(saver).At(mid.x, mid.y), other = 0x010203;
  ASSERT_NE(0x808080u, tree);
  HDC dc = GetDC(saver);
  SetPixel(dc, mid.x, mid.y, RGB(1, 2, 3));
  EXPECT_EQ(other, next()) << "drawn again with nothing over it";
  HRGN rect = CreateRectRgn(mid.x, mid.y, mid.x + 1, mid.y + 1);
  RepaintRegion(rect);
  DeleteObject(rect);
  EXPECT_EQ(tree, next()) << "after a repaint";
  SetPixel(dc, mid.x, mid.y, RGB(1, 2, 3));
  EXPECT_EQ(other, next()) << "drawn again a second time";
  PlaceFlake(0, mid.x - 3, mid.y - 4, 0, 1, 1);  // first drawn, then moved a row a frame
  for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(tree, next()) << "frame " << frame << " of a flake over it";
  ReleaseDC(saver, dc);
  StopSaver(saver);
}

}  // namespace
