// Worked cases of the wind's, the flakes' and the cover's rules; reference_test.cpp
// checks the flakes and the wind frame by frame beside a plain drawing of the rules.
#include "snow/snow_help.h"

// Gusts without flakes: capping a gust is the flakes' part, and a gust that
// is over is calmed by the first flake, or without one by the frame.
class Gusts : public testing::Test {
 protected:
  void SetUp() override { saver = StartSaver([](SettingsRecord& s) { SnowOnly(s), s.FlakeCount = 0; }); }
  void TearDown() override { StopSaver(saver); }
  HWND saver = nullptr;
};

// Each expiry moves the phase on and arms the next phase's timers; other
// ids change nothing.
TEST_F(Gusts, EachExpiryMovesThePhaseOnAndArmsItsTimers) {
  const struct { UINT_PTR id; int phase, strength; const char* timers; } steps[] = {
      {0, kWindCalm, 0, "2"}, {kFrameTimer, kWindCalm, 0, "2"}, {kFlashTimer, kWindCalm, 0, "2"},
      {kCalmTimer, kWindRising, 0, "35"}, {kRiseStepTimer, kWindRising, 1, "35"}, {kRiseStepTimer, kWindRising, 2, "35"},
      {kRiseEndTimer, kWindFalling, 2, "46"}, {kFallStepTimer, kWindFalling, 1, "46"},
      {kFallStepTimer, kWindCalm, 0, "46"}, {kFallStepTimer, kWindCalm, 0, "46"},
      {kFallEndTimer, kWindOver, 0, "2"}, {100, kWindCalm, 0, "2"},  // 100: frames
      {kRiseStepTimer, kWindCalm, 1, "2"}, {kCalmTimer, kWindRising, 0, "35"},
      {kRiseEndTimer, kWindFalling, 0, "46"},  // the rise ended before its first step
      {kFallStepTimer, kWindCalm, 0, "46"}, {kFallEndTimer, kWindOver, 0, "2"}};
  for (const auto& s : steps) {
    if (s.id == 100) RunFrames(saver, 5);
    else WindEvent(s.id);
    EXPECT_EQ((std::array<int, 2>{s.phase, s.strength}), (std::array<int, 2>{Wind().phase, Wind().strength})) << s.id;
    EXPECT_EQ(s.timers, ArmedTimers(saver)) << s.id;
  }
}

// A gust blows to the right on draws of 5 to 9 and to the left on 0 to 4:
// one draw as it starts, none for the rest of it.
TEST_F(Gusts, EachDrawsItsDirectionOnce) {
  for (int d = 0; d < 10; ++d) {
    Lcg next;
    ResetRandom();
    for (; Lcg(next).Next() % 10 != d; next.Next()) RandomNext();
    next.Next();
    for (UINT_PTR id : {kCalmTimer, kRiseStepTimer, kRiseEndTimer, kFallStepTimer, kFallEndTimer}) WindEvent(id);
    EXPECT_EQ(d > 4 ? 1 : -1, Wind().direction) << d;
    EXPECT_EQ(next.Next(), RandomNext()) << d;
  }
}

static HRGN Or(HRGN target, HRGN other) {  // a null region counts as empty
  if (other) CombineRgn(target, target, other, RGN_OR);
  return target;
}

TEST(Cover, SeedsAndRoomFollowTheScreenAndTheSettings) {
  HWND saver = StartSaver([](SettingsRecord& s) { s.SleighOn = s.SceneryOn = 0; });  // the mask
  const int w = Surface().screenWidth, h = Surface().screenHeight;
  const HRGN cover = Surface().coverRegion, room = Surface().roomRegion;
  ASSERT_TRUE(MaskEdgeRegion() && MaskBodyRegion() && w == GetDeviceCaps(GetDC(saver), HORZRES) &&
              h == GetDeviceCaps(GetDC(saver), VERTRES));
  for (int mask : {0, 1})
    for (int ground : {0, 1}) {
      ChangeSettings([&](SettingsRecord& s) { s.SnowOnMask = mask; s.SnowOnGround = ground; });
      CoverAddRect(RECT{100, h - 30, 107, h + 30});  // grown snow: a build drops it
      BuildCover();
      BuildRoom();
      HRGN seeds = Or(Rgn({{0, h, w, h + 14 * ground}}), mask ? MaskEdgeRegion() : nullptr);
      HRGN space = ground ? Or(Rgn({{0, h - 40, w, h + 14}}), MaskBodyRegion()) : Rgn({});
      EXPECT_TRUE(EqualRgn(seeds, cover) && Equal(space, room)) << mask << ground;
      CoverAddRect(RECT{100, h - 30, 107, h + 30});  // a rebuild keeps it, less the ground band
      RebuildCover();                                  // when there is no ground
      HRGN grown = Rgn({{100, h - 30, 107, ground ? h + 30 : h}, {100, h + 14, 107, h + 30}});
      EXPECT_TRUE(Equal(Or(grown, seeds), cover)) << mask << ground;
      DeleteObject(seeds);
    }
  SetWindowPos(saver, nullptr, 10, 20, 500, 300, SWP_NOZORDER | SWP_NOACTIVATE);
  FitSceneToScreen();  // the device's size, the window's rectangle; the cover from scratch
  const RECT window{10, 20, 510, 320}, &got = Surface().windowRect;
  EXPECT_TRUE(Surface().screenWidth == w && Surface().screenHeight == h && EqualRect(&window, &got));
  EXPECT_TRUE(Equal(Or(Rgn({{0, 320, 510, 334}}), MaskEdgeRegion()), cover));
  StopSaver(saver);
}

// Landed snow joins the cover region once a frame. A lookup answers with it
// before that, also off the pixel map (a flake that drifted off the side),
// and leaves the joining to the frame.
TEST(Cover, LookupsSeeLandedSnowBeforeItJoinsTheRegion) {
  HWND saver = StartSaver(SnowOnly);
  const int w = Surface().screenWidth, h = Surface().screenHeight;
  RunFrames(saver, 1);
  const RECT landed[] = {{100, 100, 107, 102}, {-300, 50, -293, 52}};  // on the map, off it
  for (const RECT& r : landed) CoverAddRect(r);
  const struct { int x, y; bool cover; } looks[] = {
      {103, 101, true}, {103, 102, false}, {-297, 51, true}, {-297, 52, false},
      {-900, 100, false}, {w + 900, h, false}, {w / 2, h, true}, {w / 2, h - 1, false}};
  for (const auto& l : looks) EXPECT_EQ(l.cover, CoverHas(l.x, l.y)) << l.x << "," << l.y;
  for (const RECT& r : landed) EXPECT_FALSE(RectInRegion(Surface().coverRegion, &r)) << r.left;
  SettleLandedSnow();
  for (const RECT& r : landed) EXPECT_TRUE(RectInRegion(Surface().coverRegion, &r)) << r.left;
  StopSaver(saver);
}
