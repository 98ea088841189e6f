#include "surface/surface.h"

#include <vector>

#include "system/optional_calls.h"

namespace {

SurfaceState surface{};
SurfaceSpan surfaceSpan = SurfaceSpan::kMonitors;
BackgroundPainter paintBackground = nullptr;
std::vector<RECT> foundMonitors;  // in screen coordinates, the primary first
HDC memorySurface = nullptr;      // a test's stand-in for the window's DC
HRGN shown = nullptr;             // with several monitors, what they show

HRGN* const kRegions[] = {
    &surface.coverRegion, &surface.roomRegion,    &surface.oldRectRegion,
    &surface.eraseRegion, &surface.scratchRegion, &surface.occupiedRegion,
};

struct Watched {
  RECT rect;
  bool writtenOver;
};
Watched watched[kWatchedRects]{};

// Whether another monitor's screen meets the rows just under monitor i.
bool MonitorBelow(int i) {
  const RECT& m = surface.monitors[i].screen;
  const RECT under{m.left, m.bottom, m.right, m.bottom + kFlakeReach};
  RECT common;
  for (int j = 0; j < surface.monitorCount; ++j) {
    if (j != i && IntersectRect(&common, &surface.monitors[j].screen, &under)) return true;
  }
  return false;
}

// Several monitors: the window spans them all, from the top-left corner of
// the rectangle around them, and each is laid out where it lies in it.
void LayOutMonitors() {
  const size_t count = foundMonitors.size() < kMaxMonitors ? foundMonitors.size() : kMaxMonitors;
  if (count < 2) {
    surface.monitorCount = 1;
    surface.monitors[0] =
        Monitor{RECT{0, 0, surface.screenWidth, surface.screenHeight},
                RECT{0, 0, surface.windowRect.right, surface.windowRect.bottom}};
    return;
  }
  RECT span = foundMonitors[0];
  for (const RECT& m : foundMonitors) UnionRect(&span, &span, &m);
  surface.monitorCount = static_cast<int>(count);
  for (size_t i = 0; i < count; ++i) {
    RECT m = foundMonitors[i];
    OffsetRect(&m, -span.left, -span.top);
    surface.monitors[i] = Monitor{m, m};
  }
  for (int i = 0; i < surface.monitorCount; ++i) {
    if (MonitorBelow(i)) surface.monitors[i].window.bottom -= kFlakeReach;
  }
  surface.screenWidth = span.right - span.left;
  surface.screenHeight = span.bottom - span.top;
  surface.windowRect = RECT{0, 0, surface.screenWidth, surface.screenHeight};
  if (!shown) shown = CreateRectRgn(0, 0, 0, 0);
  SetRectRgn(shown, 0, 0, 0, 0);
  for (size_t i = 0; i < count; ++i) {
    const RECT& m = surface.monitors[i].screen;
    HRGN one = CreateRectRgnIndirect(&m);
    CombineRgn(shown, shown, one, RGN_OR);
    DeleteObject(one);
  }
}

}  // namespace

const SurfaceState& Surface() { return surface; }

void CreateSurface(HWND window, HINSTANCE instance, BackgroundPainter background,
                   SurfaceSpan span) {
  surface.window = window;
  surface.instance = instance;
  surfaceSpan = span;
  paintBackground = background;
  for (HRGN* region : kRegions) *region = CreateRectRgn(0, 0, 0, 0);
  // Only the full-screen saver shows on several monitors.
  foundMonitors = surfaceSpan == SurfaceSpan::kMonitors ? DisplayMonitors() : std::vector<RECT>{};
  MeasureSurface();
}

void MeasureSurface() {
  HDC dc = GetDC(surface.window);
  GetWindowRect(surface.window, &surface.windowRect);
  surface.screenWidth = GetDeviceCaps(dc, HORZRES);
  surface.screenHeight = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(surface.window, dc);
  if (surfaceSpan == SurfaceSpan::kWindow) {
    GetClientRect(surface.window, &surface.windowRect);
    surface.screenWidth = surface.windowRect.right;
    surface.screenHeight = surface.windowRect.bottom;
  }
  LayOutMonitors();
}

void DestroySurface() {
  for (HRGN* region : kRegions) {
    DeleteObject(*region);
    *region = nullptr;
  }
  surface.window = nullptr;
  surface.instance = nullptr;
  paintBackground = nullptr;
  foundMonitors.clear();
  if (shown) DeleteObject(shown);
  shown = nullptr;
  for (Watched& w : watched) w = Watched{};
}

bool OnMonitor(const RECT& r) {
  RECT common;
  for (int i = 0; i < surface.monitorCount; ++i) {
    if (IntersectRect(&common, &surface.monitors[i].screen, &r)) return true;
  }
  return false;
}

int MonitorAt(POINT p) {
  for (int i = 0; i < surface.monitorCount; ++i) {
    if (PtInRect(&surface.monitors[i].screen, p)) return i;
  }
  return -1;
}

int MonitorSharesTotal(MonitorShare share) {
  int total = 0;
  for (int i = 0; i < surface.monitorCount; ++i) {
    const int part = share(surface.monitors[i]);
    if (part > 0) total += part;
  }
  return total;
}

int MonitorAlong(MonitorShare share, int* along) {
  for (int i = 0; i < surface.monitorCount; ++i) {
    const int part = share(surface.monitors[i]);
    if (part <= 0) continue;
    if (*along < part) return i;
    *along -= part;
  }
  return 0;
}

// With several monitors, whatever is drawn is cut to what they show: a
// sprite half over a gap between them draws nothing there.
HDC TakeSurfaceDC() {
  HDC dc = memorySurface ? memorySurface : GetDC(surface.window);
  if (shown) SelectClipRgn(dc, shown);
  return dc;
}

void GiveBackSurfaceDC(HDC dc) {
  if (shown) SelectClipRgn(dc, nullptr);
  if (dc != memorySurface) ReleaseDC(surface.window, dc);
}

void RepaintRegion(HRGN region) {
  if (!region || !surface.window) return;
  if (!memorySurface) {
    InvalidateRgn(surface.window, region, TRUE);
    UpdateWindow(surface.window);
    return;
  }
  // A memory surface has no window to ask: its background is painted here,
  // as the window's would be.
  const int saved = SaveDC(memorySurface);
  SelectClipRgn(memorySurface, region);
  if (paintBackground) paintBackground(memorySurface, surface.windowRect);
  RestoreDC(memorySurface, saved);
  RECT box;
  GetRgnBox(region, &box);
  WrittenOver(box);
}

void DrawOnMemorySurface(HDC dc) { memorySurface = dc; }

void WatchRect(int slot, const RECT& r) { watched[slot] = Watched{r, true}; }

bool TakeWrittenOver(int slot) {
  const bool written = watched[slot].writtenOver;
  watched[slot].writtenOver = false;
  return written;
}

void WrittenOver(const RECT& r) {
  RECT common;
  for (Watched& w : watched) {
    if (!w.writtenOver && IntersectRect(&common, &w.rect, &r)) w.writtenOver = true;
  }
}

void WrittenEverywhere() {
  for (Watched& w : watched) w.writtenOver = true;
}
