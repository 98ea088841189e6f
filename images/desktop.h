// The desktop as it was when the saver started, or when the settings
// dialog's live preview was asked for: a picture of the screen and the
// windows that lay on it, front to back, both in the coordinates of the
// scene's window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The largest picture taken: a larger desktop (three 4K monitors laid out
// diagonally, say) is not taken at all.
constexpr uint64_t kDesktopMaxBytes = 256ull << 20;
// What a picture of the desktop of that size takes: four bytes a pixel,
// however deep the screen.
uint64_t DesktopBytes(const RECT& area);

// The rectangle around every monitor, in screen coordinates: what the
// full-screen saver covers.
RECT DesktopArea();

// Takes the picture of area (screen coordinates) and the list of the
// windows on the screen, leaving leaveOut out of it; the picture's and the
// windows' origin is area's top-left corner. False, keeping nothing, when
// the desktop cannot be seen: this thread's desktop is not the user's, the
// picture would take more than kDesktopMaxBytes or cannot be made, or it
// shows one colour only (what a desktop of the saver's own shows).
bool TakeDesktop(const RECT& area, HWND leaveOut);
bool DesktopTaken();
// Whether the scene shows the desktop: it was taken, and snow on the
// desktop is on.
bool DesktopShown();
const std::vector<RECT>& DesktopWindows();
// Paints the part of the picture inside r into dc at the same place.
void DrawDesktop(HDC dc, const RECT& r);
void ForgetDesktop();
