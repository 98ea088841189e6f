// The generator is never seeded: two runs with the same settings must draw
// the same snow, pixel for pixel.
#include <gtest/gtest.h>

#include <vector>

#include "snow/flakes.h"
#include "snow/random.h"
#include "snow/snow_support.h"
#include "snow/wind.h"
#include "support/test_support.h"

namespace {

struct SceneRun {
  Capture screen;
  std::vector<Flake> flakes;
};

// A scene from the generator's start state, 600 frames with a gust in them.
SceneRun RunScene() {
  ResetRandom();
  ResetWind();
  HWND saver = CreateSaverWindow();
  DropPendingMessages();
  for (int frame = 0; frame < 600; ++frame) {
    if (frame == 100) RunWindTimer(saver, 2);
    if (frame > 100 && frame < 220 && frame % 2 == 0) RunWindTimer(saver, 5);
    if (frame == 220) RunWindTimer(saver, 3);
    if (frame > 220 && frame % 2 == 0) RunWindTimer(saver, 6);
    if (frame == 300) RunWindTimer(saver, 4);
    RunFrames(saver, 1);
  }
  SceneRun run;
  run.screen = CaptureSaver(saver);
  for (int i = 0; i < kFlakeSlots; ++i) run.flakes.push_back(FlakeAt(i));
  DestroyWindow(saver);
  DropPendingMessages();
  return run;
}

TEST(Determinism, TwoRunsWithTheSameSettingsArePixelIdentical) {
  ClearStoredSettings();
  StoreSettings([](SettingsRecord& s) { s.FlakeCount = 300; });
  const SceneRun first = RunScene();
  const SceneRun second = RunScene();
  ClearStoredSettings();

  ASSERT_EQ(first.screen.pixels.size(), second.screen.pixels.size());
  size_t differing = 0;
  for (size_t i = 0; i < first.screen.pixels.size(); ++i)
    differing += first.screen.pixels[i] != second.screen.pixels[i];
  EXPECT_EQ(0u, differing) << "pixels that differ between the two runs";
  size_t white = 0;
  for (uint32_t p : first.screen.pixels) white += p == 0xFFFFFF;
  EXPECT_GT(white, 5000u) << "snow was drawn and piled up";
  for (int i = 0; i < kFlakeSlots; ++i) {
    const Flake& a = first.flakes[i];
    const Flake& b = second.flakes[i];
    EXPECT_TRUE(a.x == b.x && a.y == b.y && a.dx == b.dx && a.dy == b.dy && a.kind == b.kind &&
                a.inCover == b.inCover && a.hidden == b.hidden && a.unsaved == b.unsaved)
        << "slot " << i;
  }
}

}  // namespace
