#include <gtest/gtest.h>

#include <cstring>

#include "scene/scene_state.h"
#include "snow/flakes.h"
#include "snow/random.h"
#include "snow/wind.h"
#include "snow/snow_support.h"
#include "sprites/sprite_blit.h"
#include "support/test_support.h"

namespace {

const unsigned char kPatterns[3][7] = {
    {0xA0, 0x40, 0xA0},
    {0x44, 0xD6, 0x28, 0x54, 0x28, 0xD6, 0x44},
    {0x28, 0x10, 0x92, 0x6C, 0x92, 0x10, 0x28},
};
const int kSizes[3] = {3, 7, 7};

bool ShapeBit(int kind, int x, int y) { return (kPatterns[kind][y] >> (7 - x)) & 1; }

void Quiet(SettingsRecord& s) {
  s.MaskPath[0] = 0;
  s.SleighOn = 0;
  s.SceneryOn = 0;
}

// Every flake that is on the screen now, ORed white over the background.
Capture Expected(const Capture& background) {
  Capture e = background;
  for (int i = 0; i < Settings().FlakeCount; ++i) {
    const Flake& f = FlakeAt(i);
    if (f.hidden || f.inCover == -1) continue;
    for (int y = 0; y < kSizes[f.kind]; ++y) {
      for (int x = 0; x < kSizes[f.kind]; ++x) {
        const int px = f.x + x, py = f.y + y;
        if (!ShapeBit(f.kind, x, y) || px < 0 || py < 0 || px >= e.width || py >= e.height) continue;
        e.pixels[static_cast<size_t>(py) * e.width + px] = 0xFFFFFF;
      }
    }
  }
  return e;
}

size_t Differences(const Capture& a, const Capture& b) {
  size_t n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

TEST(FlakeShapes, ThreeKindsWithTheirPatternsAndExtents) {
  HWND saver = StartSaver(Quiet);
  for (int k = 0; k < 3; ++k) {
    const FlakeKind& kind = FlakeKindAt(k);
    EXPECT_EQ(0, kind.extent.left);
    EXPECT_EQ(0, kind.extent.top);
    EXPECT_EQ(kSizes[k], kind.extent.right);
    EXPECT_EQ(kSizes[k], kind.extent.bottom);
    BITMAP bm;
    ASSERT_EQ(static_cast<int>(sizeof bm), GetObjectA(kind.shape, sizeof bm, &bm));
    EXPECT_EQ(16, bm.bmWidth);
    EXPECT_EQ(8, bm.bmHeight);
    EXPECT_EQ(1, bm.bmBitsPixel);
    unsigned char bits[16] = {};
    GetBitmapBits(kind.shape, sizeof bits, bits);
    for (int row = 0; row < 8; ++row) {
      EXPECT_EQ(row < 7 ? kPatterns[k][row] : 0, bits[row * 2]) << k << " row " << row;
      EXPECT_EQ(0, bits[row * 2 + 1]);
    }
  }
  StopSaver(saver);
}

TEST(FlakeSpawn, CalmAirDrawsPositionStepsAndKindInOrder) {
  HWND saver = StartSaver(Quiet);
  SpawnFlake(7);
  Lcg g;
  const SettingsRecord& s = Settings();
  const Flake& f = FlakeAt(7);
  EXPECT_EQ(g.Below(Scene().screenWidth), f.x);
  EXPECT_EQ(g.Below(20), f.y);
  int dx = g.Below(s.FlakeDrift) + 1;
  if (g.Below(100) > 50) dx = -dx;
  EXPECT_EQ(dx, f.dx);
  EXPECT_EQ(g.Below(s.FlakeSpeed) + 3, f.dy);
  EXPECT_EQ(g.Below(3), f.kind);
  EXPECT_EQ(-1, f.inCover);
  EXPECT_EQ(0, f.hidden);
  EXPECT_EQ(1, f.unsaved);
  EXPECT_NE(nullptr, f.saveBitmap);
  EXPECT_EQ(g.Next(), RandomNext()) << "six draws, no more";
  StopSaver(saver);
}

TEST(FlakeSpawn, DuringAGustFlakesComeFromTheWindwardThird) {
  HWND saver = StartSaver(Quiet);
  const int w = Scene().screenWidth, h = Scene().screenHeight;
  Wind().phase = kWindRising;
  Wind().direction = -1;
  Lcg g;
  for (int i = 0; i < 200; ++i) {
    SpawnFlake(i);
    const int y = g.Below(h);
    const int x = w - g.Below(w / 3);
    for (int k = 0; k < 4; ++k) g.Next();
    EXPECT_EQ(y, FlakeAt(i).y);
    EXPECT_EQ(x, FlakeAt(i).x);
    EXPECT_GT(FlakeAt(i).x, w - w / 3);
    EXPECT_LE(FlakeAt(i).x, w);
  }
  Wind().phase = kWindOver;
  Wind().direction = 1;
  for (int i = 0; i < 200; ++i) {
    SpawnFlake(i);
    const int y = g.Below(h);
    EXPECT_EQ(y, FlakeAt(i).y);
    EXPECT_EQ(g.Below(w / 3), FlakeAt(i).x);
    for (int k = 0; k < 4; ++k) g.Next();
  }
  StopSaver(saver);
}

TEST(FlakeSpawn, SceneStartsAsABandAcrossTheTop) {
  RecordMessageBoxes();
  StoreSettings(Quiet);
  HWND saver = CreateSaverWindow();
  for (int i = 0; i < kFlakeSlots; ++i) {
    EXPECT_LT(FlakeAt(i).y, 20);
    EXPECT_EQ(-1, FlakeAt(i).inCover);
    EXPECT_GE(FlakeAt(i).dy, 3);
    EXPECT_LE(FlakeAt(i).dy, Settings().FlakeSpeed + 2);
  }
  StopSaver(saver);
}

TEST(FlakeUpdate, RandomWalkAndFallingGustDrawInOrder) {
  HWND saver = StartSaver(Quiet);
  const SettingsRecord& s = Settings();  // wobble 2, drift 2
  Lcg g;
  PlaceFlake(0, 400, 100, -2, 6, 2);
  Wind().phase = kWindFalling;
  Wind().direction = 1;
  Wind().strength = 12;
  UpdateFlake(0);
  int t = g.Below(s.FlakeWobble);
  if (g.Below(1000) > 500) t = -t;
  int dx = std::max(-s.FlakeDrift, std::min(s.FlakeDrift, -2 + t));
  int step = std::abs(dx) + g.Below(s.FlakeWobble + 1) - s.FlakeWobble / 2;
  dx = step * 1;
  EXPECT_EQ(dx, FlakeAt(0).dx);
  EXPECT_EQ(400 + dx + 12, FlakeAt(0).x);
  EXPECT_EQ(106, FlakeAt(0).y);
  EXPECT_EQ(g.Next(), RandomNext());
  StopSaver(saver);
}

// A 7 x 7 flake at (100, 50) with dx 1 and dy 5 in calm air and no wobble.
class WorkedFlake : public testing::Test {
 protected:
  void SetUp() override {
    saver = StartSaver([](SettingsRecord& s) {
      Quiet(s);
      s.FlakeWobble = 0;
      s.FlakeCount = 1;
      s.SnowOnGround = 0;
      s.SnowOnMask = 0;
    });
    PlaceFlake(0, 100, 50, 1, 5, 1);
    FlakeAt(0).inCover = 0;
  }
  void TearDown() override { StopSaver(saver); }
  HWND saver = nullptr;
};

TEST_F(WorkedFlake, LandsOnItsBottomProbeAndGrowsTheCoverByItsTwoBottomRows) {
  SceneState& scene = Scene();
  SetRectRgn(scene.coverRegion, 104, 62, 105, 63);  // only the probe under its centre
  SetRectRgn(scene.roomRegion, 104, 55, 105, 56);   // only its top centre
  UpdateFlake(0);
  const Flake& f = FlakeAt(0);
  EXPECT_EQ(101, f.x);
  EXPECT_EQ(55, f.y);
  EXPECT_EQ(1, f.inCover);
  EXPECT_EQ(0, f.unsaved);
  HRGN expected = RectRegion(101, 60, 108, 62);
  HRGN probe = RectRegion(104, 62, 105, 63);
  CombineRgn(expected, expected, probe, RGN_OR);
  EXPECT_TRUE(EqualRgn(expected, scene.coverRegion));
  DeleteObject(probe);
  DeleteObject(expected);
  Lcg g;
  g.Next();
  EXPECT_EQ(g.Next(), RandomNext()) << "one draw for the walk's sign";
}

TEST_F(WorkedFlake, TopProbeAloneTouchesButAddsNothing) {
  SceneState& scene = Scene();
  SetRectRgn(scene.coverRegion, 104, 55, 105, 56);
  SetRectRgn(scene.roomRegion, 0, 0, 1000, 1000);
  UpdateFlake(0);
  EXPECT_EQ(1, FlakeAt(0).inCover);
  HRGN same = RectRegion(104, 55, 105, 56);
  EXPECT_TRUE(EqualRgn(same, scene.coverRegion));
  DeleteObject(same);
}

TEST_F(WorkedFlake, ProbesUseTheCentreColumnOnly) {
  SceneState& scene = Scene();
  SetRectRgn(scene.coverRegion, 101, 62, 104, 63);  // under the flake, left of its centre
  SetRectRgn(scene.roomRegion, 0, 0, 1000, 1000);
  UpdateFlake(0);
  EXPECT_EQ(0, FlakeAt(0).inCover);
}

TEST_F(WorkedFlake, OnAFullPileItLeavesAnImprintButNoStrip) {
  SceneState& scene = Scene();
  FillSaver(saver, RGB(0, 0, 128));
  SetRectRgn(scene.coverRegion, 0, 62, 1000, 80);  // room stays empty
  UpdateFlake(0);
  EXPECT_EQ(1, FlakeAt(0).inCover);
  HRGN same = RectRegion(0, 62, 1000, 80);
  EXPECT_TRUE(EqualRgn(same, scene.coverRegion));
  DeleteObject(same);
  // The imprint at (101, 55) stays when the flake moves on.
  UpdateFlake(0);
  EXPECT_EQ(102, FlakeAt(0).x);
  EXPECT_EQ(60, FlakeAt(0).y);
  Capture c = CaptureSaver(saver);
  for (int y = 0; y < 5; ++y) {  // rows of the old place that the new one leaves alone
    for (int x = 0; x < 7; ++x) {
      EXPECT_EQ(ShapeBit(1, x, y) ? 0xFFFFFFu : 0x000080u, c.At(101 + x, 55 + y)) << x << "," << y;
    }
  }
}

TEST_F(WorkedFlake, OldPlaceGetsBackExactlyWhatWasThere) {
  PaintDetail(saver);
  const Capture before = CaptureSaver(saver);
  UpdateFlake(0);  // spawned state: drawn at (101, 55), nothing erased
  EXPECT_EQ(0u, Differences(Expected(before), CaptureSaver(saver)));
  UpdateFlake(0);
  UpdateFlake(0);
  EXPECT_EQ(65, FlakeAt(0).y);
  EXPECT_EQ(0u, Differences(Expected(before), CaptureSaver(saver)));
}

TEST(FlakeOverlap, AFlakeMeetingAnotherIsHiddenAndStaysUnsavedUntilDrawn) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Quiet(s);
    s.FlakeWobble = 0;
    s.FlakeCount = 2;
    s.SnowOnGround = 0;
    s.SnowOnMask = 0;
  });
  PaintDetail(saver);
  const Capture before = CaptureSaver(saver);
  PlaceFlake(0, 200, 100, 1, 4, 1);
  PlaceFlake(1, 202, 102, 1, 4, 2);
  RunFrames(saver, 1);
  EXPECT_EQ(0, FlakeAt(0).hidden);
  EXPECT_EQ(1, FlakeAt(1).hidden);
  EXPECT_EQ(1, FlakeAt(1).unsaved);
  RunFrames(saver, 3);
  EXPECT_EQ(1, FlakeAt(1).hidden) << "moving in step, it stays hidden";
  EXPECT_EQ(1, FlakeAt(1).unsaved);
  EXPECT_EQ(0u, Differences(Expected(before), CaptureSaver(saver)));
  FlakeAt(1).dx = -2;
  FlakeAt(1).dy = 12;
  RunFrames(saver, 1);
  EXPECT_EQ(0, FlakeAt(1).hidden);
  EXPECT_EQ(0, FlakeAt(1).unsaved);
  RunFrames(saver, 2);
  EXPECT_EQ(0u, Differences(Expected(before), CaptureSaver(saver)));
  StopSaver(saver);
}

TEST(FlakeExits, InCalmAirASideExitKeepsFallingUntilTheBottom) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Quiet(s);
    s.FlakeWobble = 0;
    s.FlakeCount = 1;
  });
  const int w = Scene().screenWidth, h = Scene().screenHeight;
  PlaceFlake(0, w - 3, 100, 2, 5, 0);
  RunFrames(saver, 3);
  EXPECT_EQ(w + 3, FlakeAt(0).x);
  EXPECT_EQ(115, FlakeAt(0).y);
  EXPECT_EQ(0, FlakeAt(0).inCover);
  PlaceFlake(0, 50, h - 2, 1, 5, 0);
  FlakeAt(0).inCover = 0;
  RunFrames(saver, 1);
  EXPECT_EQ(-1, FlakeAt(0).inCover) << "past the bottom: spawned again";
  EXPECT_LT(FlakeAt(0).y, 20);
  StopSaver(saver);
}

TEST(FlakeExits, DuringAGustASideExitSpawnsAtOnce) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Quiet(s);
    s.FlakeWobble = 0;
    s.FlakeCount = 1;
  });
  const int w = Scene().screenWidth;
  Wind().phase = kWindRising;
  Wind().direction = 1;
  Wind().strength = 5;
  PlaceFlake(0, w - 3, 100, 2, 5, 0);
  FlakeAt(0).inCover = 0;
  RunFrames(saver, 1);
  EXPECT_EQ(-1, FlakeAt(0).inCover);
  EXPECT_LT(FlakeAt(0).x, w / 3);
  Wind().direction = -1;
  PlaceFlake(0, 2, 100, -2, 5, 0);
  FlakeAt(0).inCover = 0;
  RunFrames(saver, 1);
  EXPECT_EQ(-1, FlakeAt(0).inCover);
  EXPECT_GT(FlakeAt(0).x, w - w / 3);
  StopSaver(saver);
}

TEST(FlakeCount, ZeroUpdatesNothingAndDrawsNothing) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Quiet(s);
    s.FlakeCount = 0;
  });
  const Flake before = FlakeAt(0);
  const Capture screen = CaptureSaver(saver);
  RunFrames(saver, 10);
  EXPECT_EQ(0, memcmp(&before, &FlakeAt(0), sizeof before));
  EXPECT_EQ(41, RandomNext());
  EXPECT_EQ(0u, Differences(screen, CaptureSaver(saver)));
  StopSaver(saver);
}

// Many flakes passing and hiding each other in calm air, a rising and a
// falling gust, no cover and no flake leaving the screen: the screen is
// always the background with exactly the visible flakes on it.
TEST(FlakePixels, ScreenIsTheBackgroundWithExactlyTheVisibleFlakes) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Quiet(s);
    s.FlakeCount = 120;
    s.SnowOnGround = 0;
    s.SnowOnMask = 0;
  });
  PaintDetail(saver);
  const Capture background = CaptureSaver(saver);
  for (int i = 0; i < 120; ++i) {
    FlakeAt(i).x = 250 + (i % 30) * 17;
    FlakeAt(i).y = 20 + (i / 30) * 19;
  }
  int hiddenSeen = 0;
  for (int frame = 0; frame < 50; ++frame) {
    if (frame == 15) {
      Wind().phase = kWindRising;
      Wind().direction = frame % 2 ? 1 : -1;
      Wind().strength = 3;
    }
    if (frame == 35) Wind().phase = kWindFalling;
    RunFrames(saver, 1);
    for (int i = 0; i < 120; ++i) {
      hiddenSeen += FlakeAt(i).hidden;
      ASSERT_NE(-1, FlakeAt(i).inCover) << "no flake left the screen";
    }
    ASSERT_EQ(0u, Differences(Expected(background), CaptureSaver(saver))) << "frame " << frame;
  }
  EXPECT_GT(hiddenSeen, 0) << "flakes did meet";
  StopSaver(saver);
}

// A flake's first update takes its spawn rectangle out of the occupied set,
// although it was never put in: what another flake had there goes too.
TEST(FlakeOverlap, FirstUpdateTakesTheSpawnRectangleOut) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Quiet(s);
    s.FlakeWobble = 0;
    s.FlakeCount = 2;
  });
  PlaceFlake(0, 300, 200, 0, 3, 1);
  FlakeAt(0).inCover = 0;
  UpdateFlake(0);  // drawn at (300, 203)
  EXPECT_TRUE(OccupiedIntersects(RECT{300, 203, 307, 210}));
  PlaceFlake(1, 302, 205, 0, 30, 1);  // just spawned over it
  UpdateFlake(1);
  EXPECT_FALSE(OccupiedIntersects(RECT{302, 205, 307, 210}));
  EXPECT_TRUE(OccupiedIntersects(RECT{300, 203, 302, 210}));
  StopSaver(saver);
}

TEST(FlakeSettings, RaisingTheCountSpawnsTheNewSlots) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Quiet(s);
    s.FlakeCount = 20;
  });
  RunFrames(saver, 5);
  ResetRandom();
  Settings().FlakeCount = 50;
  ApplyFlakeCount(20, 50);
  Lcg g;
  EXPECT_EQ(g.Below(Scene().screenWidth), FlakeAt(20).x);
  for (int i = 20; i < 50; ++i) EXPECT_EQ(-1, FlakeAt(i).inCover) << i;
  EXPECT_NE(-1, FlakeAt(19).inCover);
  Lcg after;
  for (int i = 0; i < 30 * 6; ++i) after.Next();
  EXPECT_EQ(after.Next(), RandomNext()) << "six draws for each of the 30 slots";
  StopSaver(saver);
}

TEST(FlakeSettings, LoweringTheCountWipesOnlyFlakesOutsideTheCover) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Quiet(s);
    s.FlakeCount = 50;
    s.SnowOnMask = 0;
  });
  RunFrames(saver, 3);
  FillSaver(saver, RGB(255, 0, 0));
  for (int i = 20; i < 50; ++i) PlaceFlake(i, 20 * i, 200 + (i % 2) * 100, 1, 3, 1);
  for (int i = 20; i < 50; ++i) FlakeAt(i).inCover = i % 3 == 0 ? 1 : 0;
  Settings().FlakeCount = 20;
  ApplyFlakeCount(50, 20);
  Capture c = CaptureSaver(saver);
  for (int i = 20; i < 50; ++i) {
    const Flake& f = FlakeAt(i);
    const uint32_t want = f.inCover == 0 ? 0x808080u : 0xFF0000u;
    EXPECT_EQ(want, c.At(f.x, f.y)) << i;
    EXPECT_EQ(want, c.At(f.x + 6, f.y + 6)) << i;
    EXPECT_EQ(0xFF0000u, c.At(f.x + 7, f.y)) << i;
  }
  StopSaver(saver);
}

TEST(FlakeSettings, SnowfallSwitchWipesThenRespawnsTheActiveSlots) {
  HWND saver = StartSaver([](SettingsRecord& s) {
    Quiet(s);
    s.FlakeCount = 10;
  });
  FillSaver(saver, RGB(255, 0, 0));
  for (int i = 0; i < 11; ++i) {
    PlaceFlake(i, 30 + 40 * i, 300, 1, 3, 2);
    FlakeAt(i).inCover = i == 4 ? 1 : 0;
  }
  Settings().SnowfallOn = 0;
  ApplySnowfallSwitch(0, 1);
  Capture c = CaptureSaver(saver);
  for (int i = 0; i < 11; ++i) {
    const bool wiped = i < 10 && i != 4;
    EXPECT_EQ(wiped ? 0x808080u : 0xFF0000u, c.At(FlakeAt(i).x + 3, 303)) << i;
  }
  ApplySnowfallSwitch(0, 0);  // no change: nothing
  EXPECT_EQ(0, FlakeAt(0).inCover);
  Settings().SnowfallOn = 1;
  ApplySnowfallSwitch(1, 0);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(-1, FlakeAt(i).inCover) << i;
  EXPECT_EQ(0, FlakeAt(10).inCover);
  StopSaver(saver);
}

TEST(FlakeSettings, WithoutASceneTheApplyCallsDoNothing) {
  ApplyFlakeCount(0, 50);
  ApplyFlakeCount(50, 0);
  ApplySnowfallSwitch(1, 0);
  ApplySnowfallSwitch(0, 1);
  Flake zero{};
  EXPECT_EQ(0, memcmp(&zero, &FlakeAt(0), sizeof zero));
  EXPECT_EQ(0, memcmp(&zero, &FlakeAt(49), sizeof zero));
  EXPECT_EQ(41, RandomNext());
}

}  // namespace
