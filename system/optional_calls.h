// Calls of user32.dll that only later systems have, looked up at run time,
// so that Windows 95 to XP still load the program.
#pragma once

#include <windows.h>

#include <vector>

// The function of that name in a system library the process has loaded
// already (user32.dll, gdi32.dll), as the given type; null where the system
// has none.
template <typename Function>
Function LoadedSystemFunction(const char* library, const char* name) {
  const HMODULE module = GetModuleHandleA(library);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// Declares the process aware of the screen's resolution (Vista and later):
// the system then draws its windows at the real resolution instead of
// drawing them at 96 pixels per inch and stretching them. Nothing where the
// call is missing.
void DeclareResolutionAware();
// Tells observer of every declaration before it is made (null: nobody).
// Wine reports every process aware from its start, so a test cannot see
// the declaration in the system's answer.
void SetResolutionAwareObserver(void (*observer)());

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
void LeaveSystemEnlarging(HANDLE previous);
