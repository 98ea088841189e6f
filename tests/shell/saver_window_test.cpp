#include <gtest/gtest.h>

#include "scene/scene.h"
#include "scene/scene_state.h"
#include "shell/command_line.h"
#include "shell/password.h"
#include "shell/saver_window.h"
#include "shell/shell_state.h"
#include "support/test_support.h"

namespace {

// Takes one posted WM_CLOSE for the window out of the queue, if there is one.
bool TakeClose(HWND w) {
  MSG msg;
  bool found = false;
  while (PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_REMOVE)) found = true;
  return found;
}

class SaverWindow : public testing::Test {
 protected:
  void SetUp() override {
    ClearStoredSettings();
    base_ = {400, 300};
    SetCursorPos(base_.x, base_.y);
    saver_ = CreateSaverWindow();
    ASSERT_NE(nullptr, saver_);
    DropPendingMessages();
  }
  void TearDown() override {
    if (IsWindow(saver_)) DestroyWindow(saver_);
    ClearStoredSettings();
  }
  // Puts the cursor at an offset from the baseline and reports the move.
  bool MoveEndsSaver(int dx, int dy) {
    SetCursorPos(base_.x + dx, base_.y + dy);
    SendMessageA(saver_, WM_MOUSEMOVE, 0, 0);
    return TakeClose(saver_);
  }
  POINT base_;
  HWND saver_ = nullptr;
};

TEST_F(SaverWindow, CreationTakesBaselineHidesCursorAndKeepsItsTitle) {
  POINT saved = SaverState().savedCursor;
  EXPECT_EQ(400, saved.x);
  EXPECT_EQ(300, saved.y);
  EXPECT_EQ(nullptr, GetCursor());
  EXPECT_EQ(0, SendMessageA(saver_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed")));
  char title[64] = {};
  GetWindowTextA(saver_, title, sizeof title);
  EXPECT_STREQ("Screen Saver", title);

  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(1, SendMessageA(saver_, WM_SETCURSOR, reinterpret_cast<WPARAM>(saver_), 0));
  EXPECT_EQ(nullptr, GetCursor());
}

TEST_F(SaverWindow, MouseTravelOfFourStaysFiveEnds) {
  EXPECT_FALSE(MoveEndsSaver(3, 1)) << "4 pixels of travel";
  EXPECT_FALSE(MoveEndsSaver(-2, -2));
  EXPECT_FALSE(MoveEndsSaver(0, 4));
  EXPECT_TRUE(MoveEndsSaver(3, 2)) << "5 pixels";
  POINT moved = SaverState().savedCursor;
  EXPECT_EQ(403, moved.x) << "a move that ends the saver becomes the new baseline";
  EXPECT_EQ(302, moved.y);
}

TEST_F(SaverWindow, SmallMovesAddUpAgainstTheSameBaseline) {
  EXPECT_FALSE(MoveEndsSaver(3, 0));
  EXPECT_EQ(400, SaverState().savedCursor.x) << "the baseline stays";
  EXPECT_TRUE(MoveEndsSaver(6, 0)) << "the second move of 3";
}

TEST_F(SaverWindow, KeysAndClicksAskToClose) {
  for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    SendMessageA(saver_, message, 0, 0);
    EXPECT_TRUE(TakeClose(saver_)) << message;
  }
  SendMessageA(saver_, WM_KEYUP, 0, 0);
  SendMessageA(saver_, WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(TakeClose(saver_)) << "releases do not";
}

TEST_F(SaverWindow, LosingActivationAndPowerEventsAskToClose) {
  SendMessageA(saver_, WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_FALSE(TakeClose(saver_));
  SendMessageA(saver_, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_TRUE(TakeClose(saver_));
  SendMessageA(saver_, WM_POWER, PWR_SUSPENDRESUME, 0);
  EXPECT_FALSE(TakeClose(saver_));
  SendMessageA(saver_, WM_POWER, PWR_SUSPENDREQUEST, 0);
  EXPECT_TRUE(TakeClose(saver_));
  SendMessageA(saver_, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_TRUE(TakeClose(saver_));
}

TEST_F(SaverWindow, NoInputEndsTheSaverWhilePasswordPromptIsUp) {
  SaverState().checkingPassword = 1;
  SendMessageA(saver_, WM_KEYDOWN, 0, 0);
  SendMessageA(saver_, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_FALSE(MoveEndsSaver(50, 50));
  EXPECT_FALSE(TakeClose(saver_));
  SaverState().checkingPassword = 0;
}

TEST_F(SaverWindow, SystemCommandsThatSwitchAwayAreSwallowed) {
  for (WPARAM command : {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
    EXPECT_EQ(0, SendMessageA(saver_, WM_SYSCOMMAND, command, 0));
    EXPECT_TRUE(IsWindow(saver_));
  }
  // Any other command reaches the default procedure: SC_CLOSE closes.
  SendMessageA(saver_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(saver_));
}

TEST_F(SaverWindow, CloseOnWindowsNtEndsAtOnceAndPostsQuit) {
  SendMessageA(saver_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(saver_));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(0u, msg.wParam);
  EXPECT_EQ(nullptr, Scene().window) << "the scene was torn down";
}

TEST_F(SaverWindow, TimersStopReachingTheSceneOnceClosing) {
  RunFrames(saver_, 3);
  EXPECT_EQ(3, SceneFrameCounter());
  SaverState().closing = 1;
  RunFrames(saver_, 3);
  EXPECT_EQ(3, SceneFrameCounter());
  SendMessageA(saver_, WM_KEYDOWN, 0, 0);
  EXPECT_FALSE(TakeClose(saver_)) << "input goes to the default window procedure";
  SaverState().closing = 0;
}

class PreviewWindow : public testing::Test {
 protected:
  void SetUp() override {
    ClearStoredSettings();
    parent_ = CreateWindowExA(0, "STATIC", "panel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 320,
                              240, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent_);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    preview_ = CreateSaverWindow(parent_);
    ASSERT_NE(nullptr, preview_);
    DropPendingMessages();
  }
  void TearDown() override {
    DestroyWindow(parent_);
    ClearStoredSettings();
  }
  HWND parent_ = nullptr;
  HWND preview_ = nullptr;
};

TEST_F(PreviewWindow, IsAChildOfTheParentsClientSizeAndIgnoresInput) {
  RECT pc, wc;
  GetClientRect(parent_, &pc);
  GetClientRect(preview_, &wc);
  EXPECT_EQ(pc.right, wc.right);
  EXPECT_EQ(pc.bottom, wc.bottom);
  EXPECT_EQ(parent_, GetParent(preview_));
  EXPECT_NE(nullptr, GetCursor()) << "a preview leaves the cursor alone";

  for (UINT message : {WM_KEYDOWN, WM_LBUTTONDOWN, WM_ACTIVATEAPP}) SendMessageA(preview_, message, 0, 0);
  SetCursorPos(10, 10);
  SetCursorPos(700, 600);
  SendMessageA(preview_, WM_MOUSEMOVE, 0, 0);
  EXPECT_FALSE(TakeClose(preview_));
  EXPECT_TRUE(IsWindow(preview_));

  EXPECT_NE(0, SendMessageA(preview_, WM_SYSCOMMAND, SC_SCREENSAVE, 0) + 1);
  EXPECT_TRUE(IsWindow(preview_));
}

TEST_F(PreviewWindow, ForwardsHelpRequestsToTheParent) {
  EXPECT_EQ(1, SendMessageA(preview_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(preview_), 99));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, parent_, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE));
  EXPECT_EQ(reinterpret_cast<WPARAM>(parent_), msg.wParam);
  EXPECT_EQ(99, msg.lParam);
  // WM_HELP is answered for the parent too; its lParam points at the
  // sender's help data, which the system does not let anyone post.
  HELPINFO help{sizeof help, HELPINFO_WINDOW, 0, preview_, 0, {0, 0}};
  EXPECT_EQ(1, SendMessageA(preview_, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)));
}

TEST_F(PreviewWindow, EndsWhenItsParentIsDestroyed) {
  DestroyWindow(parent_);
  EXPECT_FALSE(IsWindow(preview_));
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace

namespace {

// On Windows NT the password flag is never looked at: no verifier loads.
TEST(WindowsNtPassword, FlagIsIgnoredAndVerifyRequestIsNotSpecial) {
  Shell().win9xPlatform = DetectWin9xPlatform();
  ASSERT_EQ(0, Shell().win9xPlatform);
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &key, nullptr);
  DWORD on = 1;
  RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD, reinterpret_cast<BYTE*>(&on), 4);
  LoadPasswordVerifier();
  EXPECT_FALSE(VerifierLoaded());
  EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));

  HWND saver = CreateSaverWindow();
  EXPECT_EQ(0, SendMessageA(saver, WM_APP, 0, 0)) << "left to the default window procedure";
  SendMessageA(saver, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(saver));
  RegDeleteValueA(key, "ScreenSaveUsePassword");
  RegCloseKey(key);
}

}  // namespace
