// The scene on several monitors, laid out through the monitor list that the
// system would give and drawn on a memory surface as large as the rectangle
// around them: each monitor has its ground, picture, mask and trees, flakes
// fall on all of them, also on one below another, nothing is drawn in the
// gaps, and one monitor is drawn as a single screen always was.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "images/image_files.h"
#include "snow/cover.h"
#include "snow/wind.h"
#include "sprites/sleigh.h"
#include "sprites/trees.h"
#include "support/memory_surface.h"
#include "surface/surface.h"
#include "system/optional_calls.h"

namespace {

RECT Moved(RECT r, const RECT& span) { return OffsetRect(&r, -span.left, -span.top), r; }

bool Meets(HRGN region, const RECT& r) { return region && RectInRegion(region, &r); }

struct Layout {
  const char* name;
  std::vector<RECT> monitors;  // the primary first
};
const Layout kLayouts[] = {
    {"side by side, of different heights", {{640, 0, 1120, 360}, {0, 0, 640, 480}}},
    {"the second left of the primary", {{0, 0, 560, 420}, {-480, 60, 0, 420}}},
    {"three in a row", {{400, 0, 800, 300}, {0, 0, 400, 300}, {800, 0, 1200, 300}}},
    {"a narrower one below", {{0, 0, 480, 360}, {40, 360, 440, 660}}},
    {"an L: one beside, one below", {{0, 0, 480, 360}, {480, 0, 960, 360}, {0, 360, 480, 720}}},
};

RECT Span(const std::vector<RECT>& monitors) {
  RECT span{};
  for (const RECT& m : monitors) UnionRect(&span, &span, &m);
  return span;
}

TEST(Monitors, EachHasItsGroundPictureMaskAndSnowAndTheGapsStayEmpty) {
  const std::string red = Write("red.bmp", BmpFile(40, 30, 24, 0, [](int, int) { return 0xFF0000; }));
  for (const Layout& layout : kLayouts) {
    SCOPED_TRACE(layout.name);
    MemorySurface surface(layout.monitors);
    const RECT span = Span(layout.monitors);
    HWND saver = StartOnMonitors(layout.monitors, &surface, [&](SettingsRecord& s) {
      s.FlakeCount = 500, s.WindOn = 0, strcpy(s.PicturePath, red.c_str());
    });
    std::vector<RECT> screens;
    for (const RECT& m : layout.monitors) screens.push_back(Moved(m, span));
    for (const RECT& m : screens) {
      EXPECT_EQ(0xFF0000u, surface.At((m.left + m.right) / 2, m.top + 1)) << "the picture on each monitor";
      EXPECT_TRUE(Meets(MaskBodyRegion(), m) && Meets(MaskEdgeRegion(), m)) << "the mask on each";
    }
    const RECT& primary = screens[0];
    for (int pass = 0; pass < 20; ++pass, StartSleighPass()) {
      EXPECT_TRUE(Sleigh().sleighY >= primary.top && Sleigh().sleighY < primary.bottom) << "pass " << pass;
    }

    // Calm air, a gust that blows new flakes in from the side, calm again.
    RunFrames(saver, 100);
    RunWindTimer(saver, kCalmTimer);
    for (int i = 0; i < 100; ++i) {
      RunFrames(saver, 1);
      RunWindTimer(saver, i == 49 ? kRiseEndTimer : i < 49 ? kRiseStepTimer : kFallStepTimer);
    }
    RunWindTimer(saver, kFallEndTimer);
    RunFrames(saver, 100);
    for (const RECT& m : screens) {
      const RECT top{m.left, m.top, m.right, m.top + (m.bottom - m.top) / 3};
      EXPECT_GT(surface.Count(top, 0xFFFFFF), 50) << "flakes fall on each monitor";
      const RECT edge{m.left, m.top, m.right, m.top + 4};
      EXPECT_LT(surface.Count(edge, 0xFFFFFF), (m.right - m.left) / 32) << "no snow along its top";
      const RECT ground{m.left, m.bottom - 40, m.right, m.bottom};
      EXPECT_TRUE(Meets(CoverRegion(), RECT{m.left, m.bottom - 40, m.right, m.bottom - 2}))
          << "the ground pile grows along each monitor's bottom";
      EXPECT_GT(surface.Count(ground, 0xFFFFFF), (m.right - m.left) * 2) << "its snow shows";
      HRGN filled = CreateRectRgnIndirect(&m);
      CombineRgn(filled, filled, MaskBodyRegion(), RGN_AND);
      CombineRgn(filled, filled, CoverRegion(), RGN_AND);
      RECT box;
      EXPECT_NE(NULLREGION, GetRgnBox(filled, &box)) << "its mask fills";
      DeleteObject(filled);
    }
    int drawnInGaps = 0;
    for (int y = 0; y < surface.span.bottom; ++y)
      for (int x = 0; x < surface.span.right; ++x) {
        const POINT p{x, y};
        const bool shown = std::any_of(screens.begin(), screens.end(), [&](const RECT& m) { return PtInRect(&m, p); });
        drawnInGaps += !shown && surface.At(x, y) != kUntouched;
      }
    EXPECT_EQ(0, drawnInGaps) << "pixels drawn where no monitor shows them";
    // Without snow on the ground no monitor's clearing takes another's mask.
    ChangeSettings([](SettingsRecord& s) { s.SnowOnGround = 0; });
    BuildCover();
    EXPECT_TRUE(EqualRgn(MaskEdgeRegion(), CoverRegion()));
    StopOnMonitors(saver);
  }
}

// The window spans all the monitors listed, the first kMaxMonitors of them
// laid out where they lie in it, and each tree stands wholly on one of them,
// inside its margins; a monitor too small for a tree has none, and the
// others have them across their whole width.
TEST(Monitors, AreLaidOutOverAllAndTreesStandInsideTheirMargins) {
  std::vector<Layout> layouts(std::begin(kLayouts), std::end(kLayouts));
  Layout many{"seventeen, the last left of the others", {}};
  for (int i = 0; i < 16; ++i) many.monitors.push_back(RECT{i * 320, 0, i * 320 + 320, 240});
  many.monitors.push_back(RECT{-320, 0, 0, 240});
  layouts.insert(layouts.end(), {{"a narrow one between two", {{0, 0, 640, 480}, {640, 0, 680, 480}, {680, 0, 1320, 480}}},
                                 {"one of size 0", {{0, 0, 640, 480}, {640, 0, 640, 0}}},
                                 {"a low one", {{0, 0, 640, 480}, {640, 0, 1640, 100}}},
                                 many});
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.name);
    HWND saver = StartOnMonitors(layout.monitors, nullptr, [](SettingsRecord& s) { s.FlakeCount = 0; });
    const SurfaceState& surface = Surface();
    const RECT span = Span(layout.monitors);
    EXPECT_EQ((std::pair<int, int>(span.right - span.left, span.bottom - span.top)),
              std::make_pair(surface.screenWidth, surface.screenHeight));
    EXPECT_EQ(std::min<int>(layout.monitors.size(), kMaxMonitors), surface.monitorCount);
    for (int i = 0; i < surface.monitorCount; ++i) {
      const RECT want = Moved(layout.monitors[i], span);
      EXPECT_TRUE(EqualRect(&want, &surface.monitors[i].screen)) << "monitor " << i;
    }
    std::vector<std::pair<int, int>> lefts(surface.monitorCount, {INT_MAX, INT_MIN});  // of its trees
    for (int round = 0; round < 100; ++round) {
      PlaceTrees();
      for (int t = 0; t < kTrees; ++t) {
        const POINT p = TreePlace(t);
        int on = -1;
        for (int i = 0; i < surface.monitorCount; ++i) {
          const RECT& m = surface.monitors[i].screen;
          if (p.x >= m.left + 100 && p.x < m.right - 100 && p.y >= m.top + 50 && p.y < m.bottom - 150) on = i;
        }
        EXPECT_NE(-1, on) << "a tree at " << p.x << "," << p.y;
        if (on >= 0) lefts[on] = {std::min(lefts[on].first, int(p.x)), std::max(lefts[on].second, int(p.x))};
      }
    }
    for (int i = 0; i < surface.monitorCount; ++i) {
      const RECT& m = surface.monitors[i].screen;
      const int room = m.right - m.left - 200;
      if (room <= 0 || m.bottom - m.top < 200) continue;
      EXPECT_TRUE(lefts[i].first < m.left + 100 + room / 4 && lefts[i].second >= m.right - 100 - room / 4)
          << "monitor " << i << ": " << lefts[i].first << " to " << lefts[i].second;
    }
    StopOnMonitors(saver);
  }
}

// A mask that needs more rectangles on a monitor than the settings allow is
// left off there, with one message for all; a monitor within the budget
// keeps its mask. Without a picture each monitor shows the grey.
TEST(Monitors, AMaskOverItsBudgetIsLeftOffThatMonitorWithOneMessage) {
  const HINSTANCE self = GetModuleHandleA(nullptr);
  auto rects = [&](int w, int h) {
    DeleteObject(BuiltinMaskRegion(self, kMaskBody, {w, h, 0, kAnyCount}));
    return MaskRectCount();
  };
  const int small = rects(320, 240), large = rects(960, 720);
  ASSERT_LT(small, large);
  const std::vector<RECT> monitors{{0, 0, 960, 720}, {960, 0, 1280, 240}};
  for (int budget : {(small + large) / 2, 10}) {
    MemorySurface surface(monitors);
    auto& boxes = RecordMessageBoxes();
    HWND saver = StartOnMonitors(monitors, &surface, [&](SettingsRecord& s) {
      s.MaskMaxRects = budget, s.FlakeCount = 0;
    });
    EXPECT_EQ(Strings{"Mask too complex: The mask requires more rectangles than you set in the settings"},
              Seen(boxes)) << budget;
    EXPECT_FALSE(Meets(MaskBodyRegion(), monitors[0]) || Meets(MaskEdgeRegion(), monitors[0]));
    EXPECT_EQ(budget > small, Meets(MaskBodyRegion(), monitors[1])) << budget;
    for (const RECT& m : monitors) EXPECT_EQ(kGrey, surface.At(m.left + 1, m.top + 1));
    StopOnMonitors(saver);
  }
}

// Monitors so far apart that a byte per pixel of the rectangle around them
// is more than memory holds: the occupied set and the cover answer from
// their regions, and the snow piles up on both grounds as ever.
TEST(Monitors, ASpanTooLargeForPixelMapsRunsOnRegions) {
  const int away = 1 << 26;
  HWND saver = StartOnMonitors({{0, 0, 640, 480}, {away, away, away + 640, away + 480}}, nullptr,
                               [](SettingsRecord& s) { s.FlakeCount = 150, s.WindOn = 0; });
  RunFrames(saver, 250);
  for (const RECT& m : {Surface().monitors[0].window, Surface().monitors[1].window}) {
    EXPECT_TRUE(Meets(CoverRegion(), RECT{m.left, m.bottom - 40, m.right, m.bottom - 2})) << m.left;
  }
  HDC dc = GetDC(saver);
  const Capture shown = CaptureDC(dc, 640, 480);
  ReleaseDC(saver, dc);
  EXPECT_GT(std::count(shown.pixels.begin(), shown.pixels.end(), 0xFFFFFFu), 640) << "snow shows";
  StopOnMonitors(saver);
}

}  // namespace
