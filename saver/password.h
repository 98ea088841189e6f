// The Windows 95/98 screen-saver password: the system's verifier, loaded by
// name at run time, the platform's screen-saver-running state, and whether
// the saver has been allowed to close.
#pragma once

#include <windows.h>

void LoadPasswordVerifier();
void UnloadPasswordVerifier();
void SetSaverRunning(int on);
// Non-zero when the saver may close; asks the verifier when one is loaded.
int CheckPasswordOnClose(HWND window);

// 1 while a verifier is loaded.
int VerifierLoaded();
// The verifier's answer for the window, or 1 when none is loaded.
int RunVerifier(HWND window);

// The saver has been allowed to close: input and timers no longer reach the
// scene.
bool SaverClosing();
// The password prompt is up.
bool CheckingPassword();

// The private verify request that the password check sends the saver window.
constexpr UINT kVerifyRequest = WM_APP;
