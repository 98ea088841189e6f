#include <gtest/gtest.h>

#include "scene/scene_state.h"
#include "snow/flakes.h"
#include "snow/snow_support.h"

namespace {

TEST(RepaintRegion, RepaintsOnlyInsideTheRegion) {
  HWND saver = StartSaver([](SettingsRecord& s) { s.MaskPath[0] = 0; });
  FillSaver(saver, RGB(255, 255, 255));
  HRGN r = RectRegion(100, 100, 120, 110);
  RepaintRegion(r);
  Capture c = CaptureSaver(saver);
  EXPECT_EQ(0x808080u, c.At(100, 100));
  EXPECT_EQ(0x808080u, c.At(119, 109));
  EXPECT_EQ(0xFFFFFFu, c.At(99, 100));
  EXPECT_EQ(0xFFFFFFu, c.At(120, 100));
  EXPECT_EQ(0xFFFFFFu, c.At(100, 110));
  EXPECT_EQ(0xFFFFFFu, c.At(500, 500));
  // The working DC draws everywhere again afterwards.
  FillSaver(saver, RGB(0, 0, 255));
  EXPECT_EQ(0x0000FFu, CaptureSaver(saver).At(500, 500));
  DeleteObject(r);
  StopSaver(saver);
}

}  // namespace
