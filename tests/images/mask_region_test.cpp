#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "images/bmp_files.h"
#include "images/mask_reference.h"
#include "images/mask_region.h"
#include "scene/scene_state.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace {

// A hand-made placed mask: rows of bytes, stride rounded to 16 bits.
struct Placed {
  std::vector<BYTE> bytes;
  BITMAP bm{};
  Placed(int width, const std::vector<std::vector<BYTE>>& rows) {
    const int stride = (width + 15) / 16 * 2;
    bytes.assign(static_cast<size_t>(stride) * rows.size(), 0xFF);
    for (size_t y = 0; y < rows.size(); ++y) {
      for (size_t i = 0; i < rows[y].size(); ++i) bytes[y * stride + i] = rows[y][i];
    }
    bm = BITMAP{0, width, static_cast<LONG>(rows.size()), stride, 1, 1, bytes.data()};
  }
};

HRGN Rects(const std::vector<RECT>& rects) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  for (const RECT& rc : rects) {
    HRGN piece = CreateRectRgnIndirect(&rc);
    CombineRgn(r, r, piece, RGN_OR);
    DeleteObject(piece);
  }
  return r;
}

bool IsEmpty(HRGN region) {
  RECT box;
  return GetRgnBox(region, &box) == NULLREGION;
}

::testing::AssertionResult SameRegion(HRGN expected, HRGN actual) {
  if (EqualRgn(expected, actual)) return ::testing::AssertionSuccess();
  RECT a, b;
  GetRgnBox(expected, &a);
  GetRgnBox(actual, &b);
  return ::testing::AssertionFailure()
         << "regions differ: expected box " << a.left << "," << a.top << "," << a.right << ","
         << a.bottom << " (" << RegionRects(expected).size() << " rects), actual box " << b.left
         << "," << b.top << "," << b.right << "," << b.bottom << " ("
         << RegionRects(actual).size() << " rects)";
}

class MaskRegion : public testing::Test {
 protected:
  void SetUp() override {
    ResetSettings();
    boxes = &RecordMessageBoxes();
  }
  std::vector<SeenMessageBox>* boxes = nullptr;
};

TEST_F(MaskRegion, BlackBytesMergeIntoOneRun) {
  Placed p(32, {{0x00, 0x00, 0xFF, 0x0F}});
  HRGN r = MaskBitsToRegion(&p.bm);
  EXPECT_EQ(5, MaskRectCount());  // the run and four single pixels
  HRGN expected = Rects({{0, 0, 16, 1}, {24, 0, 28, 1}});
  EXPECT_TRUE(SameRegion(expected, r));
  EXPECT_TRUE(boxes->empty());
}

TEST_F(MaskRegion, ZeroFIsItsFourLeftPixelsAndFZeroItsFourRight) {
  Placed left(16, {{0x0F, 0xFF}});
  HRGN r = MaskBitsToRegion(&left.bm);
  EXPECT_EQ(4, MaskRectCount());
  EXPECT_TRUE(SameRegion(Rects({{0, 0, 4, 1}}), r));
  Placed right(16, {{0xFF, 0xF0}});
  r = MaskBitsToRegion(&right.bm);
  EXPECT_EQ(4, MaskRectCount());
  EXPECT_TRUE(SameRegion(Rects({{12, 0, 16, 1}}), r));
}

TEST_F(MaskRegion, SingleBlackPixelsAreNotMerged) {
  Placed p(8, {{0x3C}});  // 0011 1100: pixels 0, 1, 6, 7
  MaskBitsToRegion(&p.bm);
  EXPECT_EQ(4, MaskRectCount());
}

TEST_F(MaskRegion, BitsPastTheWidthAreNoPixels) {
  // 20 pixels: the third byte has 4 pixels and 4 bits of padding.
  Placed p(20, {{0xFF, 0xFF, 0x05},    // on-screen bits black: a run (off the edge)
                {0xFF, 0xFF, 0xF5},    // on-screen bits white: nothing
                {0xFF, 0xFF, 0x50},    // 0101: pixels 16 and 18
                {0x00, 0x00, 0x0F}});  // one run across all three bytes
  HRGN r = MaskBitsToRegion(&p.bm);
  EXPECT_EQ(4, MaskRectCount());
  HRGN expected = Rects({{16, 0, 24, 1}, {16, 2, 17, 3}, {18, 2, 19, 3}, {0, 3, 24, 4}});
  EXPECT_TRUE(SameRegion(expected, r));
  const ReferenceResult ref = ReferenceMaskRegion(&p.bm, 20000);
  EXPECT_EQ(ref.rects, MaskRectCount());
  EXPECT_TRUE(SameRegion(ref.region, r));
}

TEST_F(MaskRegion, AllWhiteGivesAnEmptyRegion) {
  Placed p(40, {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}});
  HRGN r = MaskBitsToRegion(&p.bm);
  EXPECT_EQ(0, MaskRectCount());
  EXPECT_TRUE(IsEmpty(r));
}

TEST_F(MaskRegion, TooManyRectanglesCutWithOneMessage) {
  Settings().MaskMaxRects = 3;
  std::vector<std::vector<BYTE>> rows(10, std::vector<BYTE>{0x7F, 0xFF});
  Placed p(16, rows);
  HRGN r = MaskBitsToRegion(&p.bm);
  EXPECT_EQ(4, MaskRectCount());
  EXPECT_TRUE(SameRegion(Rects({{0, 0, 1, 4}}), r));  // the upper rows, down to the cut
  ASSERT_EQ(1u, boxes->size());
  EXPECT_EQ("The mask requires more rectangles than you set in the settings", (*boxes)[0].text);
  EXPECT_EQ("Mask too complex", (*boxes)[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK), (*boxes)[0].type);
  EXPECT_EQ(nullptr, (*boxes)[0].owner);
}

TEST_F(MaskRegion, ZeroMaxRectsKeepsTheFirstRectangle) {
  Settings().MaskMaxRects = 0;
  Placed p(16, {{0x00, 0x0F}, {0x00, 0x00}});
  HRGN r = MaskBitsToRegion(&p.bm);
  EXPECT_EQ(1, MaskRectCount());
  EXPECT_TRUE(SameRegion(Rects({{0, 0, 8, 1}}), r));
  EXPECT_EQ(1u, boxes->size());
}

TEST_F(MaskRegion, ExactlyMaxRectsIsNoCut) {
  Settings().MaskMaxRects = 4;
  Placed p(8, {{0x0F}});
  MaskBitsToRegion(&p.bm);
  EXPECT_EQ(4, MaskRectCount());
  EXPECT_TRUE(boxes->empty());
}

// A vertical stripe placed centred on screens whose width is not a multiple
// of 16: every row must be read from its own start.
class MaskUnsheared : public MaskRegion, public testing::WithParamInterface<int> {};

TEST_P(MaskUnsheared, StripeStaysUpright) {
  const int W = GetParam();
  MonoSource s;
  MakeMonoSource(&s, 101, 300, [](int x, int) { return x >= 37 && x < 41; });
  BITMAP placed;
  PlaceMaskBits(s.dc, s.width, s.height, W, 200, 1, kMaskBody, false, &placed);
  HRGN body = MaskBitsToRegion(&placed);
  const int cx = (W - 101) / 2;
  EXPECT_TRUE(SameRegion(Rects({{cx + 37, 0, cx + 41, 200}}), body));
  const ReferenceResult ref = ReferenceMaskRegion(&placed, 20000);
  EXPECT_EQ(ref.rects, MaskRectCount());
  EXPECT_TRUE(SameRegion(ref.region, body));
  FreeMaskBits(&placed);
  HRGN edge = PlaceMaskRegion(s.dc, s.width, s.height, W, 200, 1, kMaskEdge, false);
  EXPECT_TRUE(IsEmpty(edge));  // the stripe leaves the screen at both ends
  HRGN stretched = PlaceMaskRegion(s.dc, s.width, s.height, W, 200, 0, kMaskBody, false);
  for (const RECT& r : RegionRects(stretched)) {
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(200, r.bottom);
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, MaskUnsheared, testing::Values(1366, 1400, 1023, 999));

// The expected regions of a laid mask P, from the rules: the body is where P
// is black, the edge where P is white and black two rows higher.
HRGN BodyOf(int W, int H, const std::function<bool(int, int)>& P) {
  return RegionFromGrid(W, H, P);
}

HRGN EdgeOf(int W, int H, const std::function<bool(int, int)>& P, bool blackAbove) {
  return RegionFromGrid(W, H, [&](int x, int y) {
    const bool above = y >= 2 ? P(x, y - 2) : blackAbove;
    return !P(x, y) && above;
  });
}

TEST_F(MaskRegion, BuiltinCentredOn1024x768) {
  const auto mask = BuiltinMaskPixels();
  ASSERT_EQ(490u, mask.size());
  ASSERT_EQ(640u, mask[0].size());
  auto P = [&](int x, int y) {
    const int mx = x - 192, my = y - 139;
    return mx >= 0 && mx < 640 && my >= 0 && my < 490 && mask[my][mx];
  };
  HRGN body = BuiltinMaskRegion(kMaskBody, 1024, 768, 1);
  EXPECT_TRUE(SameRegion(BodyOf(1024, 768, P), body));
  HRGN edge = BuiltinMaskRegion(kMaskEdge, 1024, 768, 1);
  EXPECT_TRUE(SameRegion(EdgeOf(1024, 768, P, false), edge));
  EXPECT_FALSE(IsEmpty(edge));
  EXPECT_TRUE(boxes->empty());
}

TEST_F(MaskRegion, BuiltinTiledOn1024x768RunsAcrossSeams) {
  const auto mask = BuiltinMaskPixels();
  auto P = [&](int x, int y) { return static_cast<bool>(mask[y % 490][x % 640]); };
  // Three and a half copies of the digits need more than the default budget.
  Settings().MaskMaxRects = 1000000;
  HRGN body = BuiltinMaskRegion(kMaskBody, 1024, 768, 2);
  printf("tiled body: %d rectangles\n", MaskRectCount());
  EXPECT_GT(MaskRectCount(), 20000);
  EXPECT_TRUE(SameRegion(BodyOf(1024, 768, P), body));
  HRGN edge = BuiltinMaskRegion(kMaskEdge, 1024, 768, 2);
  EXPECT_TRUE(SameRegion(EdgeOf(1024, 768, P, false), edge));
}

TEST_F(MaskRegion, BuiltinStretchedEdgeHoldsTheTopTwoRows) {
  BITMAP body, edge;
  HBITMAP mask = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(kBuiltinMaskBitmap),
                                                 IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE));
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP old = static_cast<HBITMAP>(SelectObject(dc, mask));
  PlaceMaskBits(dc, 640, 490, 1024, 768, 0, kMaskBody, true, &body);
  PlaceMaskBits(dc, 640, 490, 1024, 768, 0, kMaskEdge, true, &edge);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(mask);
  auto P = [&](int x, int y) { return PlacedBlack(body, x, y); };
  int blackPixels = 0;
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) {
      const bool above = y >= 2 ? P(x, y - 2) : true;
      ASSERT_EQ(!P(x, y) && above, PlacedBlack(edge, x, y)) << x << "," << y;
      blackPixels += P(x, y);
    }
  }
  // 38539 black pixels in the bitmap, scaled by 1.6 x 1.567.
  EXPECT_NEAR(38539 * 1.6 * 768 / 490, blackPixels, 38539 * 0.05);
  HRGN edgeRegion = MaskBitsToRegion(&edge);
  HRGN top = CreateRectRgn(0, 0, 1024, 2);
  HRGN both = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(both, edgeRegion, top, RGN_AND);
  EXPECT_TRUE(SameRegion(top, both));
  HRGN bodyRegion = MaskBitsToRegion(&body);
  EXPECT_TRUE(SameRegion(BodyOf(1024, 768, P), bodyRegion));
  FreeMaskBits(&body);
  FreeMaskBits(&edge);
}

TEST_F(MaskRegion, BuiltinStretchedBodyAsAUserMaskWouldBe) {
  // The built-in mask's white fill and AND give what a plain copy gives.
  HBITMAP mask = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(kBuiltinMaskBitmap),
                                                 IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE));
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP old = static_cast<HBITMAP>(SelectObject(dc, mask));
  HRGN a = PlaceMaskRegion(dc, 640, 490, 1280, 1024, 0, kMaskBody, true);
  HRGN b = PlaceMaskRegion(dc, 640, 490, 1280, 1024, 0, kMaskBody, false);
  EXPECT_TRUE(SameRegion(a, b));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(mask);
}

BmpImage LoadMask(const std::string& name, int w, int h, const std::function<bool(int, int)>& black,
                  int bitCount = 1) {
  BmpParts p;
  p.width = w;
  p.height = h;
  p.bitCount = static_cast<uint16_t>(bitCount);
  if (bitCount == 1) {
    p.table = {0x000000, 0xFFFFFF};
    p.pixels = PackRows(w, h, 1, [&](int x, int y) { return black(x, y) ? 0u : 1u; });
  } else {
    // Colours: 0 black, 1 white, 2 pure red, 3 dark grey, 4 light grey.
    p.table = {0x000000, 0xFFFFFF, 0xFF0000, 0x202020, 0xE0E0E0};
    p.pixels = PackRows(w, h, 8, [&](int x, int y) { return black(x, y) ? 0u : 1u; });
  }
  BmpImage image = FreshImage();
  EXPECT_EQ(1, LoadBmpImage(nullptr, WriteScratchFile(name, BmpFile(p)).c_str(), 0, &image));
  return image;
}

TEST_F(MaskRegion, FullyWhiteMask) {
  BmpImage image = LoadMask("white.bmp", 64, 48, [](int, int) { return false; });
  for (int layout = 0; layout < 3; ++layout) {
    HRGN body = UserMaskRegion(&image, kMaskBody, 1024, 768, layout);
    EXPECT_TRUE(IsEmpty(body)) << layout;
    EXPECT_EQ(0, MaskRectCount()) << layout;
    HRGN edge = UserMaskRegion(&image, kMaskEdge, 1024, 768, layout);
    if (layout == 0) {
      EXPECT_EQ(2, MaskRectCount());
      EXPECT_TRUE(SameRegion(Rects({{0, 0, 1024, 2}}), edge));
    } else {
      EXPECT_EQ(0, MaskRectCount()) << layout;
      EXPECT_TRUE(IsEmpty(edge)) << layout;
    }
    DeleteObject(body);
    DeleteObject(edge);
  }
  FreeBmpImage(&image);
}

TEST_F(MaskRegion, FullyBlackMaskStretched) {
  BmpImage image = LoadMask("black.bmp", 64, 48, [](int, int) { return true; });
  HRGN body = UserMaskRegion(&image, kMaskBody, 1024, 768, 0);
  EXPECT_EQ(768, MaskRectCount());
  EXPECT_TRUE(SameRegion(Rects({{0, 0, 1024, 768}}), body));
  HRGN edge = UserMaskRegion(&image, kMaskEdge, 1024, 768, 0);
  EXPECT_EQ(0, MaskRectCount());
  EXPECT_TRUE(IsEmpty(edge));
  FreeBmpImage(&image);
}

TEST_F(MaskRegion, MaskLargerThanTheScreenCentred) {
  // 1200 x 900 on 1024 x 768: the corner is at (-88, -66).
  auto black = [](int x, int y) {
    return (x >= 50 && x < 150 && y >= 40 && y < 100) || (x >= 600 && x < 700 && y >= 400 && y < 500);
  };
  BmpImage image = LoadMask("big.bmp", 1200, 900, black);
  HRGN body = UserMaskRegion(&image, kMaskBody, 1024, 768, 1);
  EXPECT_TRUE(SameRegion(Rects({{0, 0, 62, 34}, {512, 334, 612, 434}}), body));
  HRGN edge = UserMaskRegion(&image, kMaskEdge, 1024, 768, 1);
  EXPECT_TRUE(SameRegion(Rects({{0, 34, 62, 36}, {512, 434, 612, 436}}), edge));
  FreeBmpImage(&image);
}

TEST_F(MaskRegion, UserMaskCentredMatchesTheRules) {
  // A ring with a bar hanging over white: the edge lies under the ring's
  // bottom, at the top of its hole and under the bar.
  auto black = [](int x, int y) {
    const int dx = x - 50, dy = y - 40;
    const int d = dx * dx + dy * dy;
    return (d <= 900 && d >= 300) || (y >= 5 && y < 9 && x >= 80 && x < 110);
  };
  BmpImage image = LoadMask("ring.bmp", 120, 80, black);
  const int cx = (1024 - 120) / 2, cy = (768 - 80) / 2;
  auto P = [&](int x, int y) {
    const int mx = x - cx, my = y - cy;
    return mx >= 0 && mx < 120 && my >= 0 && my < 80 && black(mx, my);
  };
  HRGN edge = UserMaskRegion(&image, kMaskEdge, 1024, 768, 1);
  EXPECT_TRUE(SameRegion(EdgeOf(1024, 768, P, false), edge));
  HRGN body = UserMaskRegion(&image, kMaskBody, 1024, 768, 1);
  EXPECT_TRUE(SameRegion(BodyOf(1024, 768, P), body));
  // The second build found the objects of the first.
  EXPECT_NE(nullptr, image.bitmap);
  EXPECT_NE(nullptr, image.palette);
  FreeBmpImage(&image);
}

TEST_F(MaskRegion, UserMaskTiledRunsAcrossSeams) {
  auto black = [](int x, int y) { return y >= 20 || (x < 10 && y < 3); };
  BmpImage image = LoadMask("tile.bmp", 50, 30, black);
  auto P = [&](int x, int y) { return black(x % 50, y % 30); };
  HRGN edge = UserMaskRegion(&image, kMaskEdge, 1024, 768, 2);
  EXPECT_TRUE(SameRegion(EdgeOf(1024, 768, P, false), edge));
  HRGN body = UserMaskRegion(&image, kMaskBody, 1024, 768, 2);
  EXPECT_TRUE(SameRegion(BodyOf(1024, 768, P), body));
  FreeBmpImage(&image);
}

TEST_F(MaskRegion, ColourMaskKeepsBlackBlackAndWhiteWhite) {
  auto black = [](int x, int y) { return x >= 10 && x < 20 && y >= 5 && y < 15; };
  BmpImage image = LoadMask("colour.bmp", 40, 30, black, 8);
  HRGN body = UserMaskRegion(&image, kMaskBody, 40, 30, 1);
  EXPECT_TRUE(SameRegion(Rects({{10, 5, 20, 15}}), body));
  FreeBmpImage(&image);
}

TEST_F(MaskRegion, OtherLayoutsGiveEmptyRegions) {
  BmpImage image = LoadMask("any.bmp", 64, 48, [](int x, int) { return x < 30; });
  for (int layout : {3, -1, 99}) {
    HRGN body = UserMaskRegion(&image, kMaskBody, 320, 200, layout);
    EXPECT_TRUE(IsEmpty(body));
    HRGN edge = UserMaskRegion(&image, kMaskEdge, 320, 200, layout);
    EXPECT_TRUE(IsEmpty(edge));
    EXPECT_EQ(0, MaskRectCount());
  }
  FreeBmpImage(&image);
}

TEST_F(MaskRegion, ZeroSizedSourceIsNeverTiled) {
  MonoSource s;
  MakeMonoSource(&s, 8, 8, [](int, int) { return true; });
  HRGN body = PlaceMaskRegion(s.dc, 0, 8, 320, 200, 2, kMaskBody, false);
  EXPECT_TRUE(IsEmpty(body));
  HRGN edge = PlaceMaskRegion(s.dc, 8, 0, 320, 200, 2, kMaskEdge, false);
  EXPECT_TRUE(IsEmpty(edge));
}

TEST_F(MaskRegion, BuildersStoreTheirRegionsAndDeleteClearsThem) {
  DeleteMaskRegions();
  EXPECT_EQ(nullptr, MaskEdgeRegion());
  EXPECT_EQ(nullptr, MaskBodyRegion());
  BmpImage image = LoadMask("store.bmp", 64, 48, [](int x, int) { return x < 30; });
  Scene().screenWidth = 640;
  Scene().screenHeight = 480;
  Settings().PictureLayout = 1;
  BuildMaskEdgeRegion(&image);
  BuildMaskBodyRegion(&image);
  ASSERT_NE(nullptr, MaskEdgeRegion());
  ASSERT_NE(nullptr, MaskBodyRegion());
  EXPECT_TRUE(SameRegion(Rects({{288, 216, 318, 264}}), MaskBodyRegion()));
  EXPECT_TRUE(SameRegion(Rects({{288, 264, 318, 266}}), MaskEdgeRegion()));
  DeleteMaskRegions();
  EXPECT_EQ(nullptr, MaskEdgeRegion());
  BuildBuiltinMaskEdgeRegion();
  BuildBuiltinMaskBodyRegion();
  EXPECT_FALSE(IsEmpty(MaskEdgeRegion()));
  EXPECT_FALSE(IsEmpty(MaskBodyRegion()));
  DeleteMaskRegions();
  FreeBmpImage(&image);
}

// The pairwise join must give exactly the region of ORing one rectangle at a
// time, with the same count and the same cut.
struct Size {
  int width, height, maxRects;
};

class MaskMatchesReference : public MaskRegion, public testing::WithParamInterface<Size> {};

TEST_P(MaskMatchesReference, BuiltinStretched) {
  const Size size = GetParam();
  Settings().MaskMaxRects = size.maxRects;
  HBITMAP mask = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(kBuiltinMaskBitmap),
                                                 IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE));
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP old = static_cast<HBITMAP>(SelectObject(dc, mask));
  for (MaskRegionKind kind : {kMaskEdge, kMaskBody}) {
    BITMAP placed;
    PlaceMaskBits(dc, 640, 490, size.width, size.height, 0, kind, true, &placed);
    boxes->clear();
    HRGN fast = MaskBitsToRegion(&placed);
    const int fastRects = MaskRectCount();
    const size_t fastBoxes = boxes->size();
    boxes->clear();
    const ReferenceResult ref = ReferenceMaskRegion(&placed, size.maxRects);
    EXPECT_EQ(ref.rects, fastRects) << kind;
    EXPECT_EQ(boxes->size(), fastBoxes) << kind;
    EXPECT_EQ(ref.cut ? 1u : 0u, fastBoxes) << kind;
    EXPECT_TRUE(SameRegion(ref.region, fast)) << kind;
    printf("%dx%d %s: %d rectangles added, region of %u\n", size.width, size.height,
           kind == kMaskEdge ? "edge" : "body", fastRects,
           static_cast<unsigned>(RegionRects(fast).size()));
    DeleteObject(fast);
    DeleteObject(ref.region);
    FreeMaskBits(&placed);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(mask);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MaskMatchesReference,
                         testing::Values(Size{1024, 768, 20000}, Size{1920, 1080, 20000},
                                         Size{1920, 1080, 5000}, Size{1366, 768, 20000}),
                         [](const testing::TestParamInfo<Size>& info) {
                           return std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.height) + "max" +
                                  std::to_string(info.param.maxRects);
                         });

}  // namespace
