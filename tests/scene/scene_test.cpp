#include <gtest/gtest.h>

#include <vector>

#include "scene/scene.h"
#include "scene/scene_state.h"
#include "settings/settings.h"
#include "shell/saver_window.h"
#include "snow/wind.h"
#include "sprites/sleigh.h"
#include "support/test_support.h"

namespace {

// KillTimer answers whether the timer was armed; re-arm what was found.
bool TimerArmed(HWND w, UINT_PTR id) {
  if (!KillTimer(w, id)) return false;
  SetTimer(w, id, 60000, nullptr);
  return true;
}

std::vector<UINT_PTR> ArmedWindTimers(HWND w) {
  std::vector<UINT_PTR> armed;
  for (UINT_PTR id = 2; id <= 6; ++id)
    if (TimerArmed(w, id)) armed.push_back(id);
  return armed;
}

// Milliseconds until the window's next WM_TIMER with the id arrives.
DWORD WaitForTimer(HWND w, UINT_PTR id, DWORD limit) {
  DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed > limit) return ~0u;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, limit - elapsed, QS_TIMER | QS_POSTMESSAGE);
    MSG msg;
    while (PeekMessageA(&msg, w, WM_TIMER, WM_TIMER, PM_REMOVE)) {
      if (msg.wParam == id) return GetTickCount() - start;
    }
  }
}

class SceneTest : public testing::Test {
 protected:
  void SetUp() override { ClearStoredSettings(); }
  void TearDown() override {
    if (saver_ && IsWindow(saver_)) DestroyWindow(saver_);
    ClearStoredSettings();
  }
  void Start(const std::function<void(SettingsRecord&)>& edit) {
    StoreSettings(edit);
    saver_ = CreateSaverWindow();
    ASSERT_NE(nullptr, saver_);
  }
  HWND saver_ = nullptr;
};

TEST_F(SceneTest, CreationMakesEightRegionsAndTeardownDeletesThem) {
  Start([](SettingsRecord&) {});
  SceneState& scene = Scene();
  HRGN regions[] = {scene.coverRegion,      scene.roomRegion,  scene.oldRectRegion,
                    scene.newRectRegion,    scene.sleighRectRegion, scene.eraseRegion,
                    scene.scratchRegion,    scene.occupiedRegion};
  for (HRGN r : regions) {
    ASSERT_NE(nullptr, r);
    RECT box;
    EXPECT_NE(ERROR, GetRgnBox(r, &box));
  }
  EXPECT_EQ(saver_, scene.window);
  EXPECT_EQ(1024, scene.screenWidth);
  EXPECT_EQ(768, scene.screenHeight);

  DestroyWindow(saver_);
  for (HRGN r : regions) {
    RECT box;
    EXPECT_EQ(ERROR, GetRgnBox(r, &box)) << "deleted at teardown";
  }
  EXPECT_EQ(nullptr, Scene().coverRegion);
  EXPECT_EQ(nullptr, Scene().window);
}

TEST_F(SceneTest, FrameTimerAlwaysRunsWindTimerOnlyWithWind) {
  Start([](SettingsRecord& s) { s.WindOn = 0; });
  EXPECT_TRUE(TimerArmed(saver_, kFrameTimer));
  EXPECT_TRUE(ArmedWindTimers(saver_).empty());
  DestroyWindow(saver_);

  Start([](SettingsRecord& s) { s.WindOn = 1; });
  EXPECT_TRUE(TimerArmed(saver_, kFrameTimer));
  EXPECT_EQ(std::vector<UINT_PTR>{2}, ArmedWindTimers(saver_));
}

TEST_F(SceneTest, TimersUseTheirSettingsPeriods) {
  // A timer never fires before its period has passed since it was armed.
  DWORD start = GetTickCount();
  Start([](SettingsRecord& s) {
    s.FramePeriod = 900;
    s.GustPause = 300;
  });
  ASSERT_NE(~0u, WaitForTimer(saver_, kCalmTimer, 5000));
  DWORD gust = GetTickCount() - start;
  EXPECT_GE(gust, 280u);
  EXPECT_LT(gust, 880u) << "the calm timer runs at GustPause, before the first frame";
  ASSERT_NE(~0u, WaitForTimer(saver_, kFrameTimer, 5000));
  EXPECT_GE(GetTickCount() - start, 880u) << "the frame timer runs at FramePeriod";
}

TEST_F(SceneTest, ApplyFrameIntervalReArmsOnlyOnAChange) {
  Start([](SettingsRecord& s) {
    s.FramePeriod = 600;
    s.WindOn = 0;
  });
  DropPendingMessages();
  DWORD start = GetTickCount();
  WaitForTimer(saver_, 99, 300);  // let half the period pass
  ApplyFrameInterval(600, 600);
  DWORD tick = WaitForTimer(saver_, kFrameTimer, 3000);
  EXPECT_LT(GetTickCount() - start, 850u) << "equal periods leave the running timer alone";
  (void)tick;

  ApplyFrameInterval(30, -1);
  EXPECT_LT(WaitForTimer(saver_, kFrameTimer, 3000), 300u) << "re-armed with the new period";
}

TEST_F(SceneTest, ApplyWindSwitchKillsAndArmsAsTheSwitchMoves) {
  Start([](SettingsRecord& s) { s.WindOn = 1; });
  for (UINT_PTR id = 2; id <= 6; ++id) SetTimer(saver_, id, 60000, nullptr);
  ApplyWindSwitch(1, 1);
  EXPECT_EQ(5u, ArmedWindTimers(saver_).size()) << "no change, nothing happens";
  ApplyWindSwitch(1, -1);
  EXPECT_EQ(5u, ArmedWindTimers(saver_).size()) << "applying all never arms or kills when on";
  ApplyWindSwitch(0, 1);
  EXPECT_TRUE(ArmedWindTimers(saver_).empty()) << "switched off: timers 2 to 6 killed";
  ApplyWindSwitch(1, 0);
  EXPECT_EQ(std::vector<UINT_PTR>{2}, ArmedWindTimers(saver_));
  ApplyWindSwitch(0, -1);
  EXPECT_TRUE(ArmedWindTimers(saver_).empty()) << "applying all with the box clear kills";
}

TEST_F(SceneTest, RearmWindTimersFollowsThePhase) {
  Start([](SettingsRecord& s) { s.WindOn = 1; });
  struct Case {
    int phase;
    std::vector<UINT_PTR> armed;
  } cases[] = {{kWindCalm, {2}}, {kWindRising, {3, 5}}, {kWindFalling, {4, 6}}, {kWindOver, {4}}};
  for (const Case& c : cases) {
    for (UINT_PTR id = 2; id <= 6; ++id) KillTimer(saver_, id);
    Wind().phase = c.phase;
    RearmWindTimers();
    EXPECT_EQ(c.armed, ArmedWindTimers(saver_)) << "phase " << c.phase;
  }
  // With the wind off only the kills happen.
  Settings().WindOn = 0;
  for (const Case& c : cases) {
    for (UINT_PTR id = 2; id <= 6; ++id) SetTimer(saver_, id, 60000, nullptr);
    Wind().phase = c.phase;
    RearmWindTimers();
    std::vector<UINT_PTR> left = ArmedWindTimers(saver_);
    for (UINT_PTR id : c.armed) EXPECT_EQ(left.end(), std::find(left.begin(), left.end(), id));
  }
  Wind().phase = kWindCalm;
}

TEST_F(SceneTest, SleighStepsFollowTheDividerAndTheSwitch) {
  Start([](SettingsRecord& s) {
    s.SleighFrameDivider = 1;
    s.SnowfallOn = 0;
  });
  int frame = Sleigh().sleighFrame;
  RunFrames(saver_, 3);
  EXPECT_EQ(3, SceneFrameCounter());
  EXPECT_EQ((frame + 3) % 4, Sleigh().sleighFrame) << "divider 1 moves on every tick";

  Settings().SleighFrameDivider = 4;
  frame = Sleigh().sleighFrame;
  RunFrames(saver_, 4);  // counter 4..7: one move, at 4
  EXPECT_EQ((frame + 1) % 4, Sleigh().sleighFrame);

  Settings().SleighOn = 0;
  RunFrames(saver_, 5);
  EXPECT_EQ(7, SceneFrameCounter()) << "the counter stands still while the sleigh is off";
  Settings().SleighOn = 1;
  RunFrames(saver_, 1);
  EXPECT_EQ(8, SceneFrameCounter()) << "and goes on from where it stood";
}

TEST_F(SceneTest, UnknownTimerIdsDoNothing) {
  Start([](SettingsRecord&) {});
  WindState before = Wind();
  int counter = SceneFrameCounter();
  for (UINT_PTR id : {0u, 7u, 100u}) EXPECT_EQ(0, SendMessageA(saver_, WM_TIMER, id, 0));
  EXPECT_EQ(counter, SceneFrameCounter());
  EXPECT_EQ(before.phase, Wind().phase);
  EXPECT_EQ(before.strength, Wind().strength);
}

TEST_F(SceneTest, EraseMessagePaintsGrey) {
  Start([](SettingsRecord& s) { s.PicturePath[0] = 0; });
  HDC dc = GetDC(saver_);
  RECT all{0, 0, 1024, 768};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ReleaseDC(saver_, dc);
  HDC other = CreateCompatibleDC(nullptr);
  SendMessageA(saver_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(other), 0);
  DeleteDC(other);
  EXPECT_EQ(RGB(128, 128, 128), PixelAt(saver_, 0, 0));
  EXPECT_EQ(RGB(128, 128, 128), PixelAt(saver_, 512, 400));
  EXPECT_EQ(RGB(128, 128, 128), PixelAt(saver_, 1023, 767));
}

TEST(SceneWithoutWindow, ApplyOperationsDoNothing) {
  ApplyWindSwitch(0, 1);
  ApplyWindSwitch(1, 0);
  ApplyFrameInterval(10, 50);
  RearmWindTimers();
  EXPECT_EQ(nullptr, Scene().window);
}

}  // namespace
