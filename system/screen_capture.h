// What the screen shows, copied before the saver's window covers it, and
// whether this thread sees the user's screen at all.
#pragma once

#include <windows.h>

// The screen's pixels inside area (screen coordinates) in a bitmap
// compatible with the screen, selected into no DC; null when it cannot be
// made.
HBITMAP CaptureScreen(const RECT& area);
// Copies the screen instead of the system (a test draws any desktop); null
// puts the system's copy back.
using ScreenCapturer = HBITMAP (*)(const RECT& area);
void SetScreenCapturer(ScreenCapturer capturer);

// Whether this thread's desktop is the user's own, "Default": Windows may
// start a saver on a desktop of its own, where the user's windows cannot be
// seen. True where the system has no desktops of its own (Windows 95 to Me).
bool OnUsersDesktop();
