// Calls of user32.dll that only later systems have, looked up at run time,
// so that Windows 95 to XP still load the program.
#pragma once

#include <windows.h>

#include <vector>

#include "system/later_messages.h"

// Where the calls are looked up: the system's user32.dll, or, for a test,
// a stand-in that lacks some of them or answers them itself (null puts the
// system back).
using LaterCallFinder = FARPROC (*)(const char* name);
void SetLaterCallFinder(LaterCallFinder finder);

// The function of that name in a system library the process has loaded
// already (user32.dll, gdi32.dll), as the given type; null where the system
// has none.
template <typename Function>
Function LoadedSystemFunction(const char* library, const char* name) {
  const HMODULE module = GetModuleHandleA(library);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// How closely windows follow the resolution of the screen they are on.
enum class ResolutionAwareness {
  kNone,        // drawn at 96 pixels per inch and stretched (Windows XP and before)
  kSystem,      // drawn at the primary screen's resolution, stretched elsewhere
  kPerMonitor,  // drawn at each monitor's own (Windows 10 from version 1703 on)
};
// Declares the process aware of each monitor's resolution (version 2 of that
// awareness), or, where the process cannot be made so, the windows this
// thread makes from now on; where neither can be, aware of the screen's
// resolution (Vista and later). The system then draws the windows at the
// real resolution instead of drawing them at 96 pixels per inch and
// stretching them. Returns what was reached.
ResolutionAwareness DeclareResolutionAware();

// Tells observer of every declaration before it is made (null: nobody).
// Wine reports every process aware from its start, so a test cannot see
// the declaration in the system's answer.
void SetResolutionAwareObserver(void (*observer)());

// The resolution that windows unaware of it are drawn at, pixels per inch.
constexpr int kUsualPixelsPerInch = 96;
// The resolution a window is drawn at, in pixels per inch: that of its
// monitor for a window aware of each monitor's (Windows 10 from version 1607
// on), the screen's elsewhere.
int ResolutionOf(HWND window);
// A system metric (SM_CXICON, say) at a resolution: the system's own figure
// where it has one (Windows 10 from version 1607 on), the metric at the
// screen's resolution scaled elsewhere.
int SystemMetricAt(int index, int dpi);
// The font of message boxes at a resolution (Windows 10 from version 1607
// on; the screen's font elsewhere). False where the system tells none.
bool MessageFontAt(int dpi, LOGFONTA* font);

// The work area of the monitor nearest the point, in screen coordinates;
// the primary monitor's where the system knows of no monitors.
RECT WorkAreaAt(POINT point);
// Finds the work area instead of the system (a test gives a small one);
// null puts the system's back.
using WorkAreaFinder = RECT (*)(POINT point);
void SetWorkAreaFinder(WorkAreaFinder finder);

// The monitors that show the desktop, each in screen coordinates, the
// primary first. Empty where the system cannot list them (Windows 95 and
// NT 4.0 have no such calls).
std::vector<RECT> DisplayMonitors();
// Lists the monitors instead of the system (a test gives any layout); null
// puts the system's list back.
using MonitorLister = std::vector<RECT> (*)();
void SetMonitorLister(MonitorLister lister);

// The monitor that shows most of the window, in screen coordinates; the
// primary screen where the system knows of no monitors.
RECT MonitorOf(HWND window);

// Windows this thread makes from now on are drawn at 96 pixels per inch and
// enlarged by the system, as the saver's own window is, in a process that
// declared itself aware of the screen's resolution (Windows 10 from version
// 1607 on; nothing elsewhere). Returns what LeaveSystemEnlarging puts back.
HANDLE EnterSystemEnlarging();
// Windows this thread makes from now on are drawn at the primary screen's
// resolution and stretched by the system on a monitor of another, as in a
// process aware of the screen's resolution only (Windows 10 from version
// 1607 on; nothing elsewhere). Returns what LeaveSystemEnlarging puts back.
HANDLE EnterSystemResolution();
void LeaveSystemEnlarging(HANDLE previous);

// Asks the system to tell the window when the display goes off, comes on or
// is dimmed (WM_POWERBROADCAST with PBT_POWERSETTINGCHANGE, read by
// DisplayStateOf): the console display's state from Windows 8 on, the
// monitors' power on Vista and 7. Nothing where the calls are missing.
void WatchDisplayState(HWND window);
// Asks no more; nothing where nothing was asked.
void EndDisplayStateWatch();
// How many notifications the system was asked for and not yet released.
int DisplayStateWatches();

// The two settings the display's state comes in.
extern const GUID kConsoleDisplayState;  // 0 off, 1 on, 2 dimmed
extern const GUID kMonitorPowerOn;       // 0 off, anything else on
enum class DisplayState { kUnknown, kOff, kOn, kDimmed };
// What a power setting notice (the lParam of PBT_POWERSETTINGCHANGE) says
// of the display; unknown for any other setting.
DisplayState DisplayStateOf(const POWERBROADCAST_SETTING& notice);
