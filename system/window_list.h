// The windows the desktop shows, as the system lists them: the visible
// top-level windows, front to back, each as the rectangle of its visible
// frame in this process's screen coordinates.
#pragma once

#include <windows.h>

#include <vector>

// Left out: leaveOut, windows that are minimised or empty, click-through
// overlays (layered and transparent to the mouse: nothing of them shows),
// the shell's desktop, and windows the system cloaks (Windows 8 and later:
// those on other virtual desktops, suspended apps). A window's frame leaves
// out the invisible resize borders of Vista to 11 where the system can say
// where they lie, and is its window rectangle elsewhere.
std::vector<RECT> DesktopWindowRects(HWND leaveOut);
// Lists the windows instead of the system (a test gives any desktop); null
// puts the system's list back.
using WindowLister = std::vector<RECT> (*)(HWND leaveOut);
void SetWindowLister(WindowLister lister);

// A monitor in a process that the system enlarges (not aware of the
// screen's resolution, at more than 96 pixels per inch): where it lies in
// the process's screen coordinates, and in the screen's own pixels.
struct MonitorSpaces {
  RECT scaled;
  RECT physical;
};
// A rectangle in the screen's own pixels, as the system gives a window's
// visible frame whatever the process, in the process's coordinates: moved
// and scaled as the monitor that holds its top-left corner (the first
// listed where none does). Unchanged where that monitor is not enlarged.
RECT ScaledFromPhysical(const RECT& physical, const std::vector<MonitorSpaces>& monitors);
