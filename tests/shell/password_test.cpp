// Runs with Wine reporting Windows 98 to this program, and the test verifier
// beside it as PASSWORD.CPL.
#include <gtest/gtest.h>

#include "saver/password.h"
#include "saver/default_saver_proc.h"
#include "support/test_support.h"
#include "system/shell_state.h"
#include "test_verifier.h"

namespace {

bool SaverRunningState() {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return running != FALSE;
}

// What the verifier saw, and what it does, for the current test.
struct Prompt {
  static inline int calls = 0, timersLeft = -1, closesPostedByInput = -1;
  static inline BOOL answer = FALSE;
  static inline LRESULT innerClose = -1;
  static inline bool running = false;

  static BOOL Script(HWND saver) {
    ++calls;
    timersLeft = TakeMessages(saver, WM_TIMER);
    running = SaverRunningState();
    // Input and a second close while the prompt is up change nothing.
    for (UINT message : {WM_KEYDOWN, WM_LBUTTONDOWN, WM_ACTIVATEAPP}) SendMessageA(saver, message, 0, 0);
    SetCursorPos(900, 700);
    SendMessageA(saver, WM_MOUSEMOVE, 0, 0);
    closesPostedByInput = TakeMessages(saver, WM_CLOSE);
    innerClose = SendMessageA(saver, WM_CLOSE, 0, 0);
    SetCursorPos(700, 500);  // where the cursor is when the prompt ends
    return answer;
  }
};

DWORD now = 0;  // the clock of the password check, in ms
DWORD WINAPI Now() { return now; }

class Windows98Password : public testing::Test {
 protected:
  void SetUp() override {
    Prompt::calls = 0, Prompt::answer = FALSE;
    StartShell(GetModuleHandleA(nullptr));
    ASSERT_EQ(1, Shell().win9xPlatform) << "Wine must report Windows 98 to this program";
    SetPasswordFlag(1);
  }
  void TearDown() override {
    StartShell(GetModuleHandleA(nullptr));  // StopSaver put the shell back to its start
    UnloadPasswordVerifier();
    SetPasswordFlag(-1);
  }
  // Loads the verifier as the full-screen start does, then makes the window.
  HWND StartGuarded() {
    StartShell(GetModuleHandleA(nullptr));
    LoadPasswordVerifier();
    auto set = reinterpret_cast<SetVerifierScriptFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("PASSWORD.CPL"), "SetVerifierScript")));
    if (set) set(Prompt::Script);
    return StartSaver();
  }
};

TEST_F(Windows98Password, VerifierLoadsOnlyWithTheFlagAndSwitchesTheRunningState) {
  for (int flag : {0, -1}) {  // off, or none
    SetPasswordFlag(flag);
    LoadPasswordVerifier();
    EXPECT_FALSE(VerifierLoaded());
    EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
    EXPECT_FALSE(SaverRunningState());
  }
  SetPasswordFlag(1);
  LoadPasswordVerifier();
  EXPECT_TRUE(VerifierLoaded());
  EXPECT_TRUE(SaverRunningState()) << "switched on with the verifier";
  UnloadPasswordVerifier();
  EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
  EXPECT_FALSE(SaverRunningState()) << "and off when it is unloaded";
}

TEST_F(Windows98Password, RefusedKeepsTheSaverAcceptedClosesRepeatsWithin200MsAreIgnored) {
  HWND saver = StartGuarded();
  ASSERT_TRUE(VerifierLoaded());
  ResetPasswordState(Now);
  for (int i = 0; i < 3; ++i) PostMessageA(saver, WM_TIMER, 1, 0);
  EXPECT_EQ(0, SendMessageA(saver, WM_CLOSE, 0, 0));
  EXPECT_EQ(1, Prompt::calls);
  EXPECT_EQ(1, Prompt::timersLeft) << "two of the three queued timer messages were removed";
  EXPECT_TRUE(Prompt::running);
  EXPECT_EQ(0, Prompt::closesPostedByInput) << "no input ends the saver during the prompt";
  EXPECT_EQ(0, Prompt::innerClose);
  EXPECT_TRUE(IsWindow(saver));
  EXPECT_FALSE(SaverClosing());
  EXPECT_EQ(700, SavedCursor().x) << "a refusal takes a new mouse baseline";
  EXPECT_EQ(nullptr, GetCursor()) << "and hides the cursor again";

  now += 199;
  SendMessageA(saver, WM_CLOSE, 0, 0);
  EXPECT_EQ(1, Prompt::calls) << "a second close within 200 ms does not ask again";
  now += 1;
  Prompt::answer = TRUE;
  SendMessageA(saver, WM_CLOSE, 0, 0);
  EXPECT_EQ(2, Prompt::calls);
  EXPECT_FALSE(IsWindow(saver));
  EXPECT_TRUE(SaverClosing());
  StopSaver(saver);
}

TEST_F(Windows98Password, VerifyRequestAndAutoPlayAnswers) {
  SetPasswordFlag(0);
  HWND saver = StartSaver();
  ASSERT_EQ(RegisterWindowMessageA("QueryCancelAutoPlay"), Shell().autoPlayMessage);
  EXPECT_EQ(1, SendMessageA(saver, kVerifyRequest, 0, 0)) << "no verifier: the saver may close";
  EXPECT_EQ(0, SendMessageA(saver, Shell().autoPlayMessage, 0, 0)) << "AutoPlay may run";
  EXPECT_EQ(1, TakeMessages(saver, WM_CLOSE));
  SendMessageA(saver, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(saver)) << "without a password the first close ends the saver";
  StopSaver(saver);

  SetPasswordFlag(1);
  saver = StartGuarded();
  EXPECT_EQ(1, SendMessageA(saver, Shell().autoPlayMessage, 0, 0)) << "AutoPlay is cancelled";
  EXPECT_EQ(1, TakeMessages(saver, WM_CLOSE));
  Prompt::answer = TRUE;
  EXPECT_EQ(1, SendMessageA(saver, kVerifyRequest, 0, 0)) << "the verifier's answer";
  StopSaver(saver);
}

}  // namespace
