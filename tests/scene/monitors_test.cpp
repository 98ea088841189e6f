// The scene on several monitors, laid out through the monitor list that the
// system would give and drawn on a memory surface as large as the rectangle
// around them: each monitor has its ground, picture and mask, flakes fall on
// all of them, nothing is drawn in the gaps, and one monitor is drawn as a
// single screen always was.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "images/image_files.h"
#include "snow/cover.h"
#include "sprites/sleigh.h"
#include "sprites/trees.h"
#include "support/memory_surface.h"
#include "surface/surface.h"
#include "system/optional_calls.h"

namespace {

std::vector<RECT> listed;  // what the monitor seam gives, the primary first
std::vector<RECT> Listed() { return listed; }

// The scene on the listed monitors, drawn on surface: its background
// painted, then frames.
HWND StartOnMonitors(const std::vector<RECT>& monitors, const MemorySurface& surface,
                     const SettingsEdit& edit) {
  listed = monitors;
  SetMonitorLister(Listed);
  DrawOnMemorySurface(surface.dc);
  ResetRandom();
  HWND saver = StartSaver(edit);
  PaintBackground(surface.dc, surface.span);
  return saver;
}

void StopOnMonitors(HWND saver) {
  StopSaver(saver);
  DrawOnMemorySurface(nullptr);
  SetMonitorLister(nullptr);
}

RECT Moved(RECT r, const RECT& span) { return OffsetRect(&r, -span.left, -span.top), r; }

bool Meets(HRGN region, const RECT& r) { return region && RectInRegion(region, &r); }

TEST(Monitors, EachHasItsGroundPictureMaskAndSnowAndTheGapsStayEmpty) {
  const std::string red = Write("red.bmp", BmpFile(40, 30, 24, 0, [](int, int) { return 0xFF0000; }));
  const struct {
    const char* name;
    std::vector<RECT> monitors;
  } layouts[] = {
      {"side by side, of different heights", {{640, 0, 1120, 360}, {0, 0, 640, 480}}},
      {"the second left of the primary", {{0, 0, 560, 420}, {-480, 60, 0, 420}}},
      {"three in a row", {{400, 0, 800, 300}, {0, 0, 400, 300}, {800, 0, 1200, 300}}},
  };
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.name);
    MemorySurface surface(layout.monitors);
    RECT span{};
    for (const RECT& m : layout.monitors) UnionRect(&span, &span, &m);
    HWND saver = StartOnMonitors(layout.monitors, surface, [&](SettingsRecord& s) {
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
    for (int i = 0; i < kTrees; ++i) {
      const RECT tree{TreePlace(i).x, TreePlace(i).y, TreePlace(i).x + 31, TreePlace(i).y + 32};
      EXPECT_TRUE(std::any_of(screens.begin(), screens.end(), [&](const RECT& m) {
        RECT in;
        return IntersectRect(&in, &m, &tree) && EqualRect(&in, &tree);
      })) << "tree " << i << " stands on a monitor";
    }

    RunFrames(saver, 250);
    for (const RECT& m : screens) {
      const RECT top{m.left, m.top, m.right, m.top + (m.bottom - m.top) / 3};
      EXPECT_GT(surface.Count(top, 0xFFFFFF), 50) << "flakes fall on each monitor";
      const RECT ground{m.left, m.bottom - 40, m.right, m.bottom};
      EXPECT_TRUE(Meets(CoverRegion(), RECT{m.left, m.bottom - 40, m.right, m.bottom - 2}))
          << "the ground pile grows along each monitor's bottom";
      EXPECT_GT(surface.Count(ground, 0xFFFFFF), (m.right - m.left) * 2) << "its snow shows";
    }
    int drawnInGaps = 0;
    for (int y = 0; y < surface.span.bottom; ++y)
      for (int x = 0; x < surface.span.right; ++x) {
        const POINT p{x, y};
        const bool shown = std::any_of(screens.begin(), screens.end(), [&](const RECT& m) { return PtInRect(&m, p); });
        drawnInGaps += !shown && surface.At(x, y) != kUntouched;
      }
    EXPECT_EQ(0, drawnInGaps) << "pixels drawn where no monitor shows them";
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
    HWND saver = StartOnMonitors(monitors, surface, [&](SettingsRecord& s) {
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

// One monitor in the list is a single screen: the same frames on a memory
// surface as on the window, pixel for pixel.
TEST(Monitors, OneMonitorDrawsAsASingleScreen) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  auto edit = [](SettingsRecord& s) { s.FlakeCount = 300, s.WindOn = 0; };
  ResetRandom();
  HWND saver = StartSaver(edit);
  RunFrames(saver, 120);
  const Capture window = CaptureSaver(saver);
  StopSaver(saver);
  MemorySurface surface({RECT{0, 0, w, h}});
  saver = StartOnMonitors({RECT{0, 0, w, h}}, surface, edit);
  RunFrames(saver, 120);
  EXPECT_TRUE(window == CaptureDC(surface.dc, w, h));
  StopOnMonitors(saver);
}

}  // namespace
