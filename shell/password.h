// The Windows 95/98 screen-saver password: the system's verifier, loaded by
// name at run time, and the platform's screen-saver-running state.
#pragma once

#include <windows.h>

void LoadPasswordVerifier();
void UnloadPasswordVerifier();
void SetSaverRunning(int on);
// Non-zero when the saver may close.
int CheckPasswordOnClose(HWND window);

// 1 while a verifier is loaded.
int VerifierLoaded();
// The verifier's answer for the window, or 1 when none is loaded.
int RunVerifier(HWND window);
