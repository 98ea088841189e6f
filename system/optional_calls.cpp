#include "system/optional_calls.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

void (*resolutionAwareObserver)() = nullptr;

FARPROC SystemCall(const char* name) { return GetProcAddress(GetModuleHandleA("user32.dll"), name); }

LaterCallFinder callFinder = SystemCall;

// The function of that name in user32.dll, as the given type; null where
// the system has none.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(callFinder(name)));
}

// Awareness contexts, which headers for older systems lack.
constexpr intptr_t kUnawareContext = -1;
constexpr intptr_t kSystemAwareContext = -2;
constexpr intptr_t kPerMonitorV2Context = -4;
HANDLE Context(intptr_t context) { return reinterpret_cast<HANDLE>(context); }
using ThreadContextFunction = HANDLE(WINAPI*)(HANDLE);

// Windows this thread makes from now on get the awareness context; returns
// the one they got before.
HANDLE EnterThreadContext(intptr_t context) {
  const auto set = User32Function<ThreadContextFunction>("SetThreadDpiAwarenessContext");
  return set ? set(Context(context)) : nullptr;
}

int ScreenResolution() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kUsualPixelsPerInch;
}

// The notifications of the display's state asked for, one per setting.
HANDLE displayWatches[2] = {};

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

void SetLaterCallFinder(LaterCallFinder finder) { callFinder = finder ? finder : SystemCall; }

ResolutionAwareness DeclareResolutionAware() {
  if (resolutionAwareObserver) resolutionAwareObserver();
  const auto perMonitor = User32Function<BOOL(WINAPI*)(HANDLE)>("SetProcessDpiAwarenessContext");
  if (perMonitor && perMonitor(Context(kPerMonitorV2Context))) return ResolutionAwareness::kPerMonitor;
  const auto declare = User32Function<BOOL(WINAPI*)()>("SetProcessDPIAware");
  if (declare) declare();
  // Awareness declared before (by the system, say) leaves the process as
  // it is; this thread's windows can still follow their monitors.
  if (EnterThreadContext(kPerMonitorV2Context)) return ResolutionAwareness::kPerMonitor;
  return declare ? ResolutionAwareness::kSystem : ResolutionAwareness::kNone;
}

int ResolutionOf(HWND window) {
  const auto dpiOf = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const UINT dpi = dpiOf ? dpiOf(window) : 0;
  return dpi ? static_cast<int>(dpi) : ScreenResolution();
}

int SystemMetricAt(int index, int dpi) {
  const auto metric = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  if (metric) return metric(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, ScreenResolution());
}

bool MessageFontAt(int dpi, LOGFONTA* font) {
  using ParametersFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  const auto parameters = User32Function<ParametersFunction>("SystemParametersInfoForDpi");
  // The layout of Vista and later, which the call asks for.
  struct {
    NONCLIENTMETRICSW metrics;
    int paddedBorderWidth;
  } wide{};
  wide.metrics.cbSize = sizeof wide;
  if (parameters && parameters(SPI_GETNONCLIENTMETRICS, sizeof wide, &wide, 0, static_cast<UINT>(dpi))) {
    const LOGFONTW& w = wide.metrics.lfMessageFont;
    // The fields before the face name are the same in both.
    memcpy(font, &w, offsetof(LOGFONTA, lfFaceName));
    return WideCharToMultiByte(CP_ACP, 0, w.lfFaceName, -1, font->lfFaceName, LF_FACESIZE, nullptr,
                               nullptr) > 0;
  }
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
  *font = metrics.lfMessageFont;
  return true;
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

HANDLE EnterSystemEnlarging() { return EnterThreadContext(kUnawareContext); }

HANDLE EnterSystemResolution() { return EnterThreadContext(kSystemAwareContext); }

void LeaveSystemEnlarging(HANDLE previous) {
  const auto set = User32Function<ThreadContextFunction>("SetThreadDpiAwarenessContext");
  if (set && previous) set(previous);
}

const GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
const GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

// Both settings are asked for: a system tells those it knows, and the two
// never disagree on whether the display is off.
void WatchDisplayState(HWND window) {
  using RegisterFunction = HANDLE(WINAPI*)(HANDLE, const GUID*, DWORD);
  const auto watch = User32Function<RegisterFunction>("RegisterPowerSettingNotification");
  if (!watch) return;
  EndDisplayStateWatch();
  const GUID* settings[] = {&kConsoleDisplayState, &kMonitorPowerOn};
  for (int i = 0; i < 2; ++i) displayWatches[i] = watch(window, settings[i], DEVICE_NOTIFY_WINDOW_HANDLE);
}

void EndDisplayStateWatch() {
  const auto end = User32Function<BOOL(WINAPI*)(HANDLE)>("UnregisterPowerSettingNotification");
  for (HANDLE& w : displayWatches) {
    if (w && end) end(w);
    w = nullptr;
  }
}

int DisplayStateWatches() {
  return static_cast<int>(std::count_if(std::begin(displayWatches), std::end(displayWatches),
                                        [](HANDLE w) { return w != nullptr; }));
}

DisplayState DisplayStateOf(const POWERBROADCAST_SETTING& notice) {
  DWORD value;
  if (notice.DataLength < sizeof value) return DisplayState::kUnknown;
  // The value runs past the one byte the structure declares.
  memcpy(&value, reinterpret_cast<const BYTE*>(&notice) + offsetof(POWERBROADCAST_SETTING, Data), sizeof value);
  if (IsEqualGUID(notice.PowerSetting, kConsoleDisplayState)) {
    const DisplayState states[] = {DisplayState::kOff, DisplayState::kOn, DisplayState::kDimmed};
    return value < 3 ? states[value] : DisplayState::kUnknown;
  }
  if (IsEqualGUID(notice.PowerSetting, kMonitorPowerOn)) {
    return value ? DisplayState::kOn : DisplayState::kOff;
  }
  return DisplayState::kUnknown;
}
