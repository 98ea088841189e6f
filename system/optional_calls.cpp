#include "system/optional_calls.h"

namespace {

void (*resolutionAwareObserver)() = nullptr;

// The function of that name in user32.dll, as the given type; null where
// the system has none.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

}  // namespace

void DeclareResolutionAware() {
  if (resolutionAwareObserver) resolutionAwareObserver();
  const auto declare = User32Function<BOOL(WINAPI*)()>("SetProcessDPIAware");
  if (declare) declare();
}

void SetResolutionAwareObserver(void (*observer)()) { resolutionAwareObserver = observer; }

RECT WorkAreaAt(POINT point) {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const auto monitorAt = User32Function<HMONITOR(WINAPI*)(POINT, DWORD)>("MonitorFromPoint");
  const auto monitorInfo = User32Function<BOOL(WINAPI*)(HMONITOR, MONITORINFO*)>("GetMonitorInfoA");
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitorAt && monitorInfo && monitorInfo(monitorAt(point, MONITOR_DEFAULTTONEAREST), &info)) {
    area = info.rcWork;
  }
  return area;
}
