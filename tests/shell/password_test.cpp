// Runs with Wine reporting Windows 98 to this program, and the test verifier
// beside it as PASSWORD.CPL.
#include <gtest/gtest.h>

#include "shell/command_line.h"
#include "shell/password.h"
#include "shell/saver_window.h"
#include "shell/shell_state.h"
#include "support/test_support.h"
#include "test_verifier.h"

namespace {

void SetPasswordFlag(const DWORD* value) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr,
                                           0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  if (value) {
    RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(value), sizeof *value);
  } else {
    RegDeleteValueA(key, "ScreenSaveUsePassword");
  }
  RegCloseKey(key);
}

bool SaverRunningState() {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return running != FALSE;
}

int TimersQueued(HWND w) {
  int n = 0;
  MSG msg;
  while (PeekMessageA(&msg, w, WM_TIMER, WM_TIMER, PM_REMOVE)) ++n;
  return n;
}

// What the verifier saw and does, for the current test.
struct Prompt {
  static inline int calls = 0;
  static inline BOOL answer = FALSE;
  static inline HWND window = nullptr;
  static inline int timersLeft = -1;
  static inline LRESULT innerClose = -1;
  static inline bool runningDuringPrompt = false;
  static inline bool closeDuringPrompt = false;
  static inline bool windowAliveAfterInnerClose = false;

  static BOOL Script(HWND saver) {
    ++calls;
    window = saver;
    timersLeft = TimersQueued(saver);
    runningDuringPrompt = SaverRunningState();
    if (closeDuringPrompt) {
      innerClose = SendMessageA(saver, WM_CLOSE, 0, 0);
      windowAliveAfterInnerClose = IsWindow(saver) != FALSE;
    }
    return answer;
  }
};

class Windows98Password : public testing::Test {
 protected:
  void SetUp() override {
    ClearStoredSettings();
    ResetSaverProcState();
    Shell().win9xPlatform = DetectWin9xPlatform();
    ASSERT_EQ(1, Shell().win9xPlatform) << "Wine must report Windows 98 to this program";
    Prompt::calls = 0;
    Prompt::answer = FALSE;
    Prompt::closeDuringPrompt = false;
    DWORD on = 1;
    SetPasswordFlag(&on);
  }
  void TearDown() override {
    if (saver_ && IsWindow(saver_)) {
      SaverState().closing = 1;
      DestroyWindow(saver_);
    }
    UnloadPasswordVerifier();
    SetPasswordFlag(nullptr);
    ClearStoredSettings();
  }
  // Loads the verifier as the full-screen start does, then makes the window.
  void StartSaver() {
    LoadPasswordVerifier();
    ASSERT_TRUE(VerifierLoaded());
    auto set = reinterpret_cast<SetVerifierScriptFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("PASSWORD.CPL"), "SetVerifierScript")));
    ASSERT_NE(nullptr, set);
    set(Prompt::Script);
    saver_ = CreateSaverWindow();
    ASSERT_NE(nullptr, saver_);
    DropPendingMessages();
  }
  HWND saver_ = nullptr;
};

TEST_F(Windows98Password, VerifierLoadsOnlyWithThePasswordFlag) {
  DWORD off = 0;
  SetPasswordFlag(&off);
  LoadPasswordVerifier();
  EXPECT_FALSE(VerifierLoaded());
  EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));

  SetPasswordFlag(nullptr);
  LoadPasswordVerifier();
  EXPECT_FALSE(VerifierLoaded());
  EXPECT_FALSE(SaverRunningState());

  DWORD on = 1;
  SetPasswordFlag(&on);
  LoadPasswordVerifier();
  EXPECT_TRUE(VerifierLoaded());
  EXPECT_NE(nullptr, GetModuleHandleA("PASSWORD.CPL"));
  EXPECT_TRUE(SaverRunningState()) << "the running state is switched on with the verifier";

  UnloadPasswordVerifier();
  EXPECT_FALSE(VerifierLoaded());
  EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
  EXPECT_FALSE(SaverRunningState()) << "and off when it is unloaded";
}

TEST_F(Windows98Password, RefusedPasswordKeepsTheSaverWithANewBaseline) {
  StartSaver();
  SetCursorPos(640, 480);
  PostMessageA(saver_, WM_TIMER, 1, 0);
  PostMessageA(saver_, WM_TIMER, 1, 0);
  PostMessageA(saver_, WM_TIMER, 1, 0);
  EXPECT_EQ(0, SendMessageA(saver_, WM_CLOSE, 0, 0));
  EXPECT_EQ(1, Prompt::calls);
  EXPECT_EQ(saver_, Prompt::window);
  EXPECT_EQ(1, Prompt::timersLeft) << "two of the three queued timer messages were removed";
  EXPECT_TRUE(Prompt::runningDuringPrompt);
  EXPECT_TRUE(IsWindow(saver_));
  EXPECT_EQ(0, SaverState().closing);
  EXPECT_EQ(0, SaverState().checkingPassword);
  EXPECT_EQ(640, SaverState().savedCursor.x);
  EXPECT_EQ(480, SaverState().savedCursor.y);
  EXPECT_EQ(nullptr, GetCursor()) << "the cursor is hidden again";
}

TEST_F(Windows98Password, AcceptedPasswordClosesTheSaver) {
  StartSaver();
  Prompt::answer = TRUE;
  SendMessageA(saver_, WM_CLOSE, 0, 0);
  EXPECT_EQ(1, Prompt::calls);
  EXPECT_FALSE(IsWindow(saver_));
  EXPECT_EQ(1, SaverState().closing);
  saver_ = nullptr;
}

TEST_F(Windows98Password, CloseDuringThePromptChangesNothing) {
  StartSaver();
  Prompt::closeDuringPrompt = true;
  SendMessageA(saver_, WM_CLOSE, 0, 0);
  EXPECT_EQ(1, Prompt::calls) << "no second prompt from inside the first";
  EXPECT_EQ(0, Prompt::innerClose);
  EXPECT_TRUE(Prompt::windowAliveAfterInnerClose);
  EXPECT_TRUE(IsWindow(saver_));
}

TEST_F(Windows98Password, SecondCloseWithin200MsIsIgnored) {
  StartSaver();
  SendMessageA(saver_, WM_CLOSE, 0, 0);
  SendMessageA(saver_, WM_CLOSE, 0, 0);
  EXPECT_EQ(1, Prompt::calls);
  EXPECT_TRUE(IsWindow(saver_));
  // Once 200 ms have passed since the last check the next close asks again.
  SaverState().lastPasswordCheck = GetTickCount() - 250;
  Prompt::answer = TRUE;
  SendMessageA(saver_, WM_CLOSE, 0, 0);
  EXPECT_EQ(2, Prompt::calls);
  EXPECT_FALSE(IsWindow(saver_));
  saver_ = nullptr;
}

TEST_F(Windows98Password, VerifyRequestAndAutoPlayAnswers) {
  Shell().autoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
  ASSERT_NE(0u, Shell().autoPlayMessage);
  DWORD off = 0;
  SetPasswordFlag(&off);
  saver_ = CreateSaverWindow();
  DropPendingMessages();
  EXPECT_EQ(1, SendMessageA(saver_, WM_APP, 0, 0)) << "no verifier: the saver may close";
  EXPECT_EQ(0, SendMessageA(saver_, Shell().autoPlayMessage, 0, 0)) << "AutoPlay may run";
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, saver_, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  DestroyWindow(saver_);
  saver_ = nullptr;
  ResetSaverProcState();

  DWORD on = 1;
  SetPasswordFlag(&on);
  StartSaver();
  EXPECT_EQ(1, SendMessageA(saver_, Shell().autoPlayMessage, 0, 0)) << "AutoPlay is cancelled";
  EXPECT_TRUE(PeekMessageA(&msg, saver_, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  Prompt::answer = TRUE;
  EXPECT_EQ(1, SendMessageA(saver_, WM_APP, 0, 0));
  EXPECT_EQ(1, Prompt::calls);
}

TEST_F(Windows98Password, WithoutAPasswordTheFirstCloseEnds) {
  DWORD off = 0;
  SetPasswordFlag(&off);
  LoadPasswordVerifier();
  saver_ = CreateSaverWindow();
  SendMessageA(saver_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(saver_));
  EXPECT_EQ(1, SaverState().closing);
  saver_ = nullptr;
}

}  // namespace
