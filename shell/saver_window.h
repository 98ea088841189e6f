// The saver window's procedure: the window's own chores (input method,
// cursor, quit message, a preview's help, no animation once it may close),
// the scene it hosts, and the default handling every saver needs.
#pragma once

#include <windows.h>

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
