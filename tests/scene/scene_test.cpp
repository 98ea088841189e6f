// The scene controller: its regions, its timers, the frame tick's order and
// the background.
#include <gtest/gtest.h>

#include <climits>

#include "scene/scene.h"
#include "snow/wind.h"
#include "sprites/sleigh.h"
#include "support/test_support.h"
#include "surface/surface.h"

namespace {

TEST(SceneTest, TimersFollowTheirSettingsAndTheApplyCalls) {
  HWND saver = StartSaver([](SettingsRecord& s) { s.WindOn = 0; });
  EXPECT_EQ("1", ArmedTimers(saver, kFrameTimer)) << "no wind, no calm timer";
  StopSaver(saver);

  const auto& armed = RecordTimers();
  saver = StartSaver([](SettingsRecord& s) { s.FramePeriod = 900, s.GustPause = 300; });
  ApplyFrameInterval(900, 900);  // equal periods leave it running
  ApplyFrameInterval(30, -1);
  EXPECT_EQ((std::vector<SeenTimer>{{kFrameTimer, 900}, {kCalmTimer, 300}, {kFrameTimer, 30}}), armed);

  // Timers of other ids change nothing, in the middle of a gust either.
  for (UINT_PTR id : {kCalmTimer, kRiseStepTimer}) RunWindTimer(saver, id);
  const auto before = std::tuple(Wind().phase, Wind().strength, Wind().direction, SceneFrameCounter(), armed.size());
  for (UINT_PTR id : {0u, 7u, 100u}) EXPECT_EQ(0, SendMessageA(saver, WM_TIMER, id, 0));
  EXPECT_EQ(before, std::tuple(Wind().phase, Wind().strength, Wind().direction, SceneFrameCounter(), armed.size()));
  EXPECT_EQ(std::tuple(kWindRising, 1), std::tuple(Wind().phase, Wind().strength)) << "mid-gust";
  StopSaver(saver);
}

// The sleigh's frame counter stands while the sleigh is off; past its
// largest value it starts again, and a divider of -1 never traps. (The
// plain drawing beside the saver moves the sleigh by the divider.)
TEST(SceneTest, SleighFrameCounterStandsWhileTheSleighIsOffAndWraps) {
  HWND saver = StartSaver([](SettingsRecord& s) { s.SleighOn = 0; });
  const auto before = std::pair(SceneFrameCounter(), Sleigh().sleighFrame);
  RunFrames(saver, 5);
  EXPECT_EQ(before, std::pair(SceneFrameCounter(), Sleigh().sleighFrame));
  StopSaver(saver);
  ResetScene(INT_MAX);
  saver = StartSaver([](SettingsRecord& s) { s.SleighFrameDivider = -1; });
  RunFrames(saver, 2);
  EXPECT_EQ(1, SceneFrameCounter());
  StopSaver(saver);
}

TEST(SceneTest, EraseMessagePaintsIntoTheDcItBrings) {
  HWND saver = StartSaver();
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, CreateBitmap(1024, 768, 1, 32, nullptr));
  PaintDetail(saver);
  const Capture before = CaptureSaver(saver);
  EXPECT_EQ(1, SendMessageA(saver, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0));
  const Capture painted = CaptureDC(memory, 1024, 768);
  for (int i = 0; i < 1024 * 768; i += 997) EXPECT_EQ(0x808080u, painted.pixels[i]) << i;
  EXPECT_TRUE(before == CaptureSaver(saver)) << "the window's own DC is left alone";
  DeleteObject(SelectObject(memory, old));
  DeleteDC(memory);
  StopSaver(saver);
}

}  // namespace
