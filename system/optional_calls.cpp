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

RECT SystemWorkArea(POINT point) {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const auto monitorAt = User32Function<HMONITOR(WINAPI*)(POINT, DWORD)>("MonitorFromPoint");
  const auto monitorInfo = User32Function<MonitorInfoFunction>("GetMonitorInfoA");
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitorAt && monitorInfo && monitorInfo(monitorAt(point, MONITOR_DEFAULTTONEAREST), &info)) {
    area = info.rcWork;
  }
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
