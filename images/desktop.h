// The desktop as it was when the saver started: a picture of every monitor
// and the windows that lay on them, front to back. Both are in the
// coordinates of a full-screen saver window: the origin at the top-left
// corner of the rectangle around the monitors.
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

// Takes the picture and the list of windows, leaving leaveOut out of the
// list. False, keeping nothing, when the desktop cannot be seen: this
// thread's desktop is not the user's, the picture would take more than
// kDesktopMaxBytes or cannot be made, or it shows one colour only (what a
// desktop of the saver's own shows).
bool TakeDesktop(HWND leaveOut);
bool DesktopTaken();
const std::vector<RECT>& DesktopWindows();
// Paints the part of the picture inside r into dc at the same place.
void DrawDesktop(HDC dc, const RECT& r);
void ForgetDesktop();
