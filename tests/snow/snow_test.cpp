// Worked cases of the wind's, the flakes' and the cover's rules; reference_test.cpp
// checks the flakes and the wind frame by frame beside a plain drawing of the rules.
#include "snow/snow_help.h"

// Gusts without flakes (capping a gust is the flakes' part; a gust that is
// over is calmed by the first flake, or without one by the frame).
TEST(Wind, FollowsItsStateTableAndTimers) {
  HWND saver = StartSaver([](SettingsRecord& s) { SnowOnly(s); s.FlakeCount = 0; });
  const struct { UINT_PTR id; int phase, strength, direction; const char* timers; } steps[] = {
      {0, kWindCalm, 0, 0, "2"}, {1, kWindCalm, 0, 0, "2"}, {7, kWindCalm, 0, 0, "2"},  // not 2..6
      {kCalmTimer, kWindRising, 0, -1, "35"},  // draws 41: 1 is not above 4
      {kRiseStepTimer, kWindRising, 1, -1, "35"}, {kRiseStepTimer, kWindRising, 2, -1, "35"},
      {kRiseEndTimer, kWindFalling, 2, -1, "46"}, {kFallStepTimer, kWindFalling, 1, -1, "46"},
      {kFallStepTimer, kWindCalm, 0, -1, "46"}, {kFallStepTimer, kWindCalm, 0, -1, "46"},
      {kFallEndTimer, kWindOver, 0, -1, "2"}, {100, kWindCalm, 0, -1, "2"},  // 100: frames
      {kRiseStepTimer, kWindCalm, 1, -1, "2"}, {kCalmTimer, kWindRising, 0, 1, "35"},  // 18467: 7
      {kRiseEndTimer, kWindFalling, 0, 1, "46"},  // the rise ended before its first step
      {kFallStepTimer, kWindCalm, 0, 1, "46"}, {kFallEndTimer, kWindOver, 0, 1, "2"}};
  for (const auto& s : steps) {
    if (s.id == 100) RunFrames(saver, 5);
    else WindEvent(saver, s.id);
    EXPECT_EQ((std::array<int, 3>{s.phase, s.strength, s.direction}), Of(Wind())) << s.id;
    EXPECT_EQ(s.timers, ArmedTimers(saver)) << s.id;
  }
  EXPECT_EQ(6334, RandomNext()) << "one draw per gust, none else";
  RunWindTimer(saver, kCalmTimer);
  for (int i = 0; i < 60; ++i) RunWindTimer(saver, kRiseStepTimer);
  RunFrames(saver, 2);
  EXPECT_EQ(60, Wind().strength) << "no flake holds it at GustMax";
  auto armAll = [saver](bool arm) {
    for (UINT_PTR id = kCalmTimer; id <= kFallStepTimer; ++id) arm ? SetTimer(saver, id, 1000000, nullptr) : KillTimer(saver, id);
  };
  // The switch: off kills all five timers, and the gust goes on; on arms the
  // calm timer; no change, or all applied at once (-1) while on, does nothing.
  const struct { int on, was; bool armed; const char* after; } switches[] = {
      {0, 1, true, ""}, {1, 0, false, "2"}, {1, 1, false, ""}, {1, -1, false, ""}, {1, -1, true, "23456"},
      {0, -1, true, ""}};
  for (const auto& w : switches) {
    armAll(w.armed);
    ApplyWindSwitch(w.on, w.was);
    EXPECT_EQ(w.after, ArmedTimers(saver)) << w.on << " after " << w.was;
  }
  EXPECT_TRUE(Wind().phase == kWindRising && Wind().strength == 60);
  // New periods arm the phase's timers again, or, with the wind off, kill them.
  const struct { UINT_PTR id; const char *on, *off; } phases[] = {
    {0, "35", "246"}, {kRiseEndTimer, "46", "235"}, {kFallEndTimer, "4", "2356"}, {1, "2", "3456"}};
  for (const auto& p : phases) {
    p.id == 1 ? ResetWind() : WindEvent(saver, p.id);
    for (int on : {1, 0}) {
      ChangeSettings([on](SettingsRecord& s) { s.WindOn = on; });
      armAll(!on);
      RearmWindTimers();
      EXPECT_EQ(on ? p.on : p.off, ArmedTimers(saver)) << p.id;
    }
  }
  for (int d = 0; d < 10; ++d) {  // draws of 5 to 9 turn a gust to the right
    Lcg next;
    ResetRandom();
    for (; Lcg(next).Next() % 10 != d; next.Next()) RandomNext();
    WindEvent(saver, kCalmTimer);
    EXPECT_EQ(d > 4 ? 1 : -1, Wind().direction) << d;
  }
  StopSaver(saver);
}

TEST(Flakes, FollowTheCountAndSnowfallSettings) {
  const auto slot0 = Slot(0);  // without a scene, changes do nothing
  ResetRandom();
  ApplyFlakeCount(0, 50);
  ApplySnowfallSwitch(1, 0);
  EXPECT_TRUE(slot0 == Slot(0) && RandomNext() == 41);
  HWND saver = StartSaver([](SettingsRecord& s) { SnowOnly(s); s.FlakeCount = 0; });
  const Capture grey = CaptureSaver(saver);
  const auto slot19 = Slot(19);
  RunFrames(saver, 10);  // no flakes: nothing drawn, nothing drawn from the generator
  ChangeSettings([](SettingsRecord& s) { s.FlakeCount = 50; });
  ApplyFlakeCount(20, 50);  // the new slots spawn, in order; the first from draws 41 18467
  // 6334 26500 19169 15724: in calm air x, y at the top, the drift, its sign, the speed, the kind
  EXPECT_TRUE(grey == CaptureSaver(saver) && slot19 == Slot(19));
  EXPECT_EQ((std::array<int, 8>{41, 7, 1, 12, 1, -1, 0, 1}), Slot(20));
  EXPECT_EQ(8281, RandomNext()) << "the 181st draw: six for each of the 30";
  PlaceFlake(19, 700, 300, 0, 3, 1);  // not snow, at the edge of those kept
  RunFrames(saver, 2);
  CoverAddRect(RECT{0, 0, 512, 768});
  RunFrames(saver, 1);  // those over the left half are snow now
  // Fewer flakes wipe those that left, but for snow; so does snowfall off with all.
  const struct { int first, last, snowfall; } drops[] = {{20, 50, 1}, {0, 20, 0}};
  for (const auto& d : drops) {
    std::vector<RECT> loose;
    for (int i = d.first; i < d.last; ++i)
      if (FlakeAt(i).inCover == 0) loose.push_back(FlakeRect(FlakeAt(i)));
    EXPECT_LT(loose.size(), size_t(d.last - d.first)) << "some are snow";
    const Capture before = Detail(saver);
    ChangeSettings([&](SettingsRecord& s) { s.FlakeCount = 20; s.SnowfallOn = d.snowfall; });
    ApplyFlakeCount(d.last, 20);
    ApplySnowfallSwitch(d.snowfall, 1);
    EXPECT_TRUE(RepaintedIn(saver, before, Rgn(loose))) << d.first;
  }
  ChangeSettings([](SettingsRecord& s) { s.SnowfallOn = 1; });
  ApplySnowfallSwitch(1, 0);  // back on: the active slots spawn
  EXPECT_TRUE(Slot(0)[5] == -1 && Slot(19)[5] == -1 && Slot(20)[5] != -1);
  StopSaver(saver);
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
  // Snow everywhere, then mask snow off: only the room keeps it, the rest is wiped.
  CoverAddRect(RECT{0, 0, w, h});
  const Capture before = Detail(saver);
  ChangeSettings([](SettingsRecord& s) { s.SnowOnMask = 0; });
  ApplySnowOnMask(0, 1);
  HRGN outside = Rgn({{0, 0, w, h}}), edge = Or(Rgn({}), MaskEdgeRegion());
  CombineRgn(edge, edge, room, RGN_DIFF);
  CombineRgn(outside, outside, room, RGN_DIFF);
  EXPECT_TRUE(EqualRgn(room, cover) && RepaintedIn(saver, before, outside));
  ChangeSettings([](SettingsRecord& s) { s.SnowOnMask = 1; });
  ApplySnowOnMask(1, 0);
  EXPECT_TRUE(Equal(Or(edge, room), cover));
  SetWindowPos(saver, nullptr, 10, 20, 500, 300, SWP_NOZORDER | SWP_NOACTIVATE);
  MeasureScreen();  // the device's size, the window's rectangle; the cover from scratch
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

TEST(Cover, GroundAndDepthChangesWipeWhatLostItsPlace) {
  HWND saver = StartSaver(SnowOnly);  // no mask: its null regions count as empty
  const int w = Surface().screenWidth, h = Surface().screenHeight;
  const HRGN cover = Surface().coverRegion, room = Surface().roomRegion;
  // A lower depth wipes what lost its room, 14 pixels wider and at least 7
  // rows higher, and the snow above the new surface; the room loses x 500..530.
  CoverAddRect(RECT{200, h - 38, 207, h - 36});
  CoverAddRect(RECT{300, h - 30, 307, h - 28});
  const struct { int depth; RECT wiped, kept; } cases[] = {
      {35, {486, h - 50, 544, h - 35}, {300, h - 30, 307, h - 28}},  // d = 5: copies 5, 10 up
      {33, {486, h - 47, 544, h - 33}, {300, h - 30, 307, h - 28}},  // d = 7: a copy 7 up
      {20, {486, h - 47, 544, h - 20}, {}}};
  for (const auto& c : cases) {
    SetRectRgn(room, 0, h - c.depth, w, h + 14);
    Or(room, Rgn({{500, h - 40, 530, h - c.depth}}));
    const Capture before = Detail(saver);
    ChangeSettings([&](SettingsRecord& s) { s.GroundSnowDepth = c.depth; });
    ApplySnowDepth(c.depth, 40);
    EXPECT_TRUE(RepaintedIn(saver, before, Rgn({c.wiped}))) << c.depth;
    EXPECT_TRUE(Equal(Rgn({{0, h - c.depth, w, h + 14}}), room)) << c.depth;
    EXPECT_TRUE(Equal(Rgn({{0, h, w, h + 14}, c.kept}), cover)) << c.depth;
  }
  const Capture before = Detail(saver);  // a higher depth repaints nothing
  ChangeSettings([](SettingsRecord& s) { s.GroundSnowDepth = 60; });
  ApplySnowDepth(60, 20);
  EXPECT_TRUE(before == CaptureSaver(saver) && Equal(Rgn({{0, h - 60, w, h + 14}}), room));
  ChangeSettings([](SettingsRecord& s) { s.SnowOnGround = 0; });  // no ground snow: no pile, no room
  ApplySnowOnGround(0, 1);
  EXPECT_TRUE(RepaintedIn(saver, before, Rgn({{0, h - 60, w, h + 7}})));
  EXPECT_TRUE(Equal(Rgn({}), cover) && Equal(Rgn({}), room));
  ChangeSettings([](SettingsRecord& s) { s.SnowOnGround = 1; });
  ApplySnowOnGround(1, 0);
  EXPECT_TRUE(Equal(Rgn({{0, h, w, h + 14}}), cover) && Equal(Rgn({{0, h - 60, w, h + 14}}), room));
  StopSaver(saver);
}
