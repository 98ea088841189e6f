#include "system/window_list.h"

#include "system/optional_calls.h"

namespace {

// The window attributes asked of the desktop window manager (Vista and
// later), by their numbers: headers for older systems lack them.
constexpr DWORD kExtendedFrameBounds = 9;
constexpr DWORD kCloaked = 14;
using WindowAttributeFunction = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);

struct Listing {
  HWND leaveOut;
  HWND shellDesktop;
  WindowAttributeFunction attribute;  // null without a desktop window manager
  std::vector<MonitorSpaces> monitors;
  std::vector<RECT> rects;
};

bool Cloaked(const Listing& list, HWND window) {
  DWORD cloaked = 0;
  return list.attribute && list.attribute(window, kCloaked, &cloaked, sizeof cloaked) == S_OK &&
         cloaked != 0;
}

// The window's visible frame: the manager's frame bounds, in the screen's
// own pixels whatever the process, brought into the process's coordinates,
// and never beyond the window's rectangle; the window's rectangle where the
// manager gives none, or where the monitors' two places are not known.
RECT Frame(const Listing& list, HWND window, const RECT& windowRect) {
  RECT bounds{};
  if (!list.attribute || list.monitors.empty() ||
      list.attribute(window, kExtendedFrameBounds, &bounds, sizeof bounds) != S_OK) {
    return windowRect;
  }
  RECT frame;
  const RECT scaled = ScaledFromPhysical(bounds, list.monitors);
  return IntersectRect(&frame, &scaled, &windowRect) ? frame : windowRect;
}

BOOL CALLBACK AddWindow(HWND window, LPARAM data) {
  Listing& list = *reinterpret_cast<Listing*>(data);
  constexpr LONG kClickThrough = WS_EX_LAYERED | WS_EX_TRANSPARENT;
  if (window == list.leaveOut || window == list.shellDesktop || !IsWindowVisible(window) ||
      IsIconic(window) || (GetWindowLongA(window, GWL_EXSTYLE) & kClickThrough) == kClickThrough ||
      Cloaked(list, window)) {
    return TRUE;
  }
  RECT r;
  if (!GetWindowRect(window, &r) || IsRectEmpty(&r)) return TRUE;
  list.rects.push_back(Frame(list, window, r));
  return TRUE;
}

using MonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);
using DisplaySettingsFunction = BOOL(WINAPI*)(const char*, DWORD, DEVMODEA*);

struct MonitorQuery {
  MonitorInfoFunction info;
  DisplaySettingsFunction settings;
  std::vector<MonitorSpaces>* spaces;
};

// A monitor's place in this process's coordinates (enlarged, where the
// system enlarges the process) and its display mode's, which is in the
// screen's own pixels.
BOOL CALLBACK AddMonitorSpaces(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  const MonitorQuery& query = *reinterpret_cast<const MonitorQuery*>(data);
  MONITORINFOEXA info{};
  info.cbSize = sizeof info;
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  if (query.info(monitor, &info) &&
      query.settings(info.szDevice, ENUM_CURRENT_SETTINGS, &mode) && (mode.dmFields & DM_POSITION)) {
    const RECT physical{mode.dmPosition.x, mode.dmPosition.y,
                        mode.dmPosition.x + static_cast<LONG>(mode.dmPelsWidth),
                        mode.dmPosition.y + static_cast<LONG>(mode.dmPelsHeight)};
    query.spaces->push_back(MonitorSpaces{info.rcMonitor, physical});
  }
  return TRUE;
}

std::vector<MonitorSpaces> SystemMonitorSpaces() {
  using EnumFunction = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
  std::vector<MonitorSpaces> spaces;
  const auto enumerate = LoadedSystemFunction<EnumFunction>("user32.dll", "EnumDisplayMonitors");
  MonitorQuery query{
      LoadedSystemFunction<MonitorInfoFunction>("user32.dll", "GetMonitorInfoA"),
      LoadedSystemFunction<DisplaySettingsFunction>("user32.dll", "EnumDisplaySettingsA"), &spaces};
  if (enumerate && query.info && query.settings) {
    enumerate(nullptr, nullptr, AddMonitorSpaces, reinterpret_cast<LPARAM>(&query));
  }
  return spaces;
}

std::vector<RECT> SystemWindows(HWND leaveOut) {
  // The window manager's library is not loaded by the program itself, and
  // systems before Vista have none.
  const HMODULE manager = LoadLibraryA("dwmapi.dll");
  const auto shellWindow = LoadedSystemFunction<HWND(WINAPI*)()>("user32.dll", "GetShellWindow");
  Listing list{leaveOut, shellWindow ? shellWindow() : nullptr,
               manager ? reinterpret_cast<WindowAttributeFunction>(reinterpret_cast<void*>(
                             GetProcAddress(manager, "DwmGetWindowAttribute")))
                       : nullptr,
               {}, {}};
  if (list.attribute) list.monitors = SystemMonitorSpaces();
  EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&list));
  if (manager) FreeLibrary(manager);
  return list.rects;
}

WindowLister windowLister = SystemWindows;

// p moved from one rectangle onto the other, scaled by their sizes.
LONG Rescaled(LONG p, LONG fromStart, LONG fromSize, LONG toStart, LONG toSize) {
  return toStart + static_cast<LONG>(MulDiv(p - fromStart, toSize, fromSize));
}

}  // namespace

std::vector<RECT> DesktopWindowRects(HWND leaveOut) { return windowLister(leaveOut); }

void SetWindowLister(WindowLister lister) { windowLister = lister ? lister : SystemWindows; }

RECT ScaledFromPhysical(const RECT& physical, const std::vector<MonitorSpaces>& monitors) {
  if (monitors.empty()) return physical;
  const POINT corner{physical.left, physical.top};
  const MonitorSpaces* holder = &monitors.front();
  for (const MonitorSpaces& m : monitors) {
    if (PtInRect(&m.physical, corner)) holder = &m;
  }
  const RECT& from = holder->physical;
  const RECT& to = holder->scaled;
  const LONG fw = from.right - from.left, fh = from.bottom - from.top;
  const LONG tw = to.right - to.left, th = to.bottom - to.top;
  if (fw <= 0 || fh <= 0) return physical;
  return RECT{Rescaled(physical.left, from.left, fw, to.left, tw),
              Rescaled(physical.top, from.top, fh, to.top, th),
              Rescaled(physical.right, from.left, fw, to.left, tw),
              Rescaled(physical.bottom, from.top, fh, to.top, th)};
}
