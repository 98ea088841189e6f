// What every screen saver's window does with the messages its own drawing
// leaves alone: input ends the saver (after the Windows 95/98 password where
// one guards it), the cursor stays hidden, a preview is left alone, and the
// rest gets the system's default handling.
#pragma once

#include <windows.h>

// Pixels of cursor travel a mouse move may cover without ending the saver.
constexpr unsigned kMouseThreshold = 4;

// A window procedure's last stop for a saver window.
LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The mouse baseline: where the cursor was at the start, after a refused
// password, or when the last close request came from a mouse move.
POINT SavedCursor();
// Makes where the cursor is now the baseline, as a new saver window does.
void TakeMouseBaseline();
