// A screen saver runs for hours: neither the frames, nor the gusts, nor
// building and tearing down the scene may leave GDI objects behind. Wine
// has no count of a process's GDI objects, so the probe is the index a
// newly made object gets, which climbs when objects pile up.
#include <gtest/gtest.h>

#include <algorithm>

#include "snow/snow_support.h"
#include "support/test_support.h"

namespace {

void RunGusts(HWND saver, int frames, int* highest) {
  for (int frame = 0; frame < frames; ++frame) {
    const int t = frame % 400;
    if (t == 199) RunWindTimer(saver, 2);
    if (t >= 200 && t < 320 && t % 2 == 1) RunWindTimer(saver, 5);
    if (t == 319) RunWindTimer(saver, 3);
    if (t >= 320 && t % 2 == 1) RunWindTimer(saver, 6);
    if (t == 399) RunWindTimer(saver, 4);
    RunFrames(saver, 1);
    *highest = std::max(*highest, HighestHandleIndex());
  }
}

TEST(GdiLeaks, FramesAndGustsMakeNoLastingObjects) {
  HWND saver = StartSaver([](SettingsRecord& s) { s.FlakeCount = 500; });
  int warm = 0;
  RunGusts(saver, 800, &warm);
  int later = 0;
  RunGusts(saver, 3200, &later);
  EXPECT_LE(later, warm) << "objects made during the run were not all deleted";
  StopSaver(saver);
}

TEST(GdiLeaks, BuildingAndTearingDownTheSceneLeavesNothing) {
  // Freed handles are reused in no fixed order, so the probe wanders by a
  // few; what must not happen is that it keeps climbing round after round.
  int early = 0, later = 0;
  for (int round = 0; round < 12; ++round) {
    HWND saver = StartSaver([](SettingsRecord& s) { s.FlakeCount = 200; });
    int highest = 0;
    RunGusts(saver, 100, &highest);
    StopSaver(saver);
    highest = std::max(highest, HighestHandleIndex());
    (round < 5 ? early : later) = std::max(round < 5 ? early : later, highest);
  }
  EXPECT_LE(later, early + 2);
}

}  // namespace
