#include "system/optional_calls.h"

namespace {

void (*resolutionAwareObserver)() = nullptr;

// The function of that name in user32.dll, as the given type; null where
// the system has none.
template <typename Function>
Function User32Function(const char* name) {
  return LoadedSystemFunction<Function>("user32.dll", name);
}

using MonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);

struct MonitorList {
  MonitorInfoFunction info;
  std::vector<RECT> rects;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MonitorList& list = *reinterpret_cast<MonitorList*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!list.info(monitor, &info)) return TRUE;
  if (info.dwFlags & MONITORINFOF_PRIMARY) {
    list.rects.insert(list.rects.begin(), info.rcMonitor);
  } else {
    list.rects.push_back(info.rcMonitor);
  }
  return TRUE;
}

std::vector<RECT> SystemMonitors() {
  using EnumFunction = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
  const auto enumerate = User32Function<EnumFunction>("EnumDisplayMonitors");
  MonitorList list{User32Function<MonitorInfoFunction>("GetMonitorInfoA"), {}};
  if (!enumerate || !list.info) return {};
  enumerate(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
  return list.rects;
}

MonitorLister monitorLister = SystemMonitors;

// What the system knows of the monitor nearest the argument, found by the
// user32 function of that name; false where the system has no such calls.
template <typename Argument>
bool NearestMonitorInfo(const char* finder, Argument argument, MONITORINFO* info) {
  const auto find = User32Function<HMONITOR(WINAPI*)(Argument, DWORD)>(finder);
  const auto read = User32Function<MonitorInfoFunction>("GetMonitorInfoA");
  info->cbSize = sizeof *info;
  return find && read && read(find(argument, MONITOR_DEFAULTTONEAREST), info);
}

RECT SystemWorkArea(POINT point) {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  MONITORINFO info{};
  if (NearestMonitorInfo("MonitorFromPoint", point, &info)) area = info.rcWork;
  return area;
}

WorkAreaFinder workAreaFinder = SystemWorkArea;

}  // namespace

std::vector<RECT> DisplayMonitors() { return monitorLister(); }

void SetMonitorLister(MonitorLister lister) { monitorLister = lister ? lister : SystemMonitors; }

void DeclareResolutionAware() {
  if (resolutionAwareObserver) resolutionAwareObserver();
  const auto declare = User32Function<BOOL(WINAPI*)()>("SetProcessDPIAware");
  if (declare) declare();
}

void SetResolutionAwareObserver(void (*observer)()) { resolutionAwareObserver = observer; }

RECT WorkAreaAt(POINT point) { return workAreaFinder(point); }

void SetWorkAreaFinder(WorkAreaFinder finder) { workAreaFinder = finder ? finder : SystemWorkArea; }

RECT MonitorOf(HWND window) {
  RECT rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  MONITORINFO info{};
  if (NearestMonitorInfo("MonitorFromWindow", window, &info)) rect = info.rcMonitor;
  return rect;
}

// DPI_AWARENESS_CONTEXT_UNAWARE, which headers for older systems lack.
constexpr intptr_t kUnawareContext = -1;
using ThreadContextFunction = HANDLE(WINAPI*)(HANDLE);

HANDLE EnterSystemEnlarging() {
  const auto set = User32Function<ThreadContextFunction>("SetThreadDpiAwarenessContext");
  return set ? set(reinterpret_cast<HANDLE>(kUnawareContext)) : nullptr;
}

void LeaveSystemEnlarging(HANDLE previous) {
  const auto set = User32Function<ThreadContextFunction>("SetThreadDpiAwarenessContext");
  if (set && previous) set(previous);
}
