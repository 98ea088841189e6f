// The saver window's procedure and the default handling every saver needs:
// input ends it, the cursor stays hidden, a preview is left alone.
#pragma once

#include <windows.h>

struct SaverProcState {
  POINT savedCursor;          // mouse baseline
  int closing;                // the saver may close; the scene gets no more input
  int checkingPassword;       // the password prompt is up
  DWORD lastPasswordCheck;    // tick count when the last check ended, ~0u: never
};

SaverProcState& SaverState();

// Pixels of cursor travel a mouse move may cover without ending the saver.
constexpr unsigned kMouseThreshold = 4;

// The private verify request that the password check sends itself.
constexpr UINT kVerifyRequest = WM_APP;

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Back to the state at process start.
void ResetSaverProcState();
