// The saver window's procedure and the default handling every saver needs:
// input ends it, the cursor stays hidden, a preview is left alone.
#pragma once

#include <windows.h>

// Pixels of cursor travel a mouse move may cover without ending the saver.
constexpr unsigned kMouseThreshold = 4;

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// What every saver does with the messages its scene leaves alone.
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The saver's own drawing, which the window procedure hands every message
// after its own chores. The scene defines it.
LRESULT SceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The mouse baseline: where the cursor was at the start, after a refused
// password, or when the last close request came from a mouse move.
POINT SavedCursor();
