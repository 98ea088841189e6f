#include "surface/surface.h"

namespace {

SurfaceState surface{};

struct Watched {
  RECT rect;
  bool writtenOver;
};
Watched watched[kWatchedRects]{};

HRGN* const kRegions[] = {
    &surface.coverRegion, &surface.roomRegion,    &surface.oldRectRegion,
    &surface.eraseRegion, &surface.scratchRegion, &surface.occupiedRegion,
};

}  // namespace

const SurfaceState& Surface() { return surface; }

void CreateSurface(HWND window, HINSTANCE instance) {
  surface.window = window;
  surface.instance = instance;
  for (HRGN* region : kRegions) *region = CreateRectRgn(0, 0, 0, 0);
  MeasureSurface();
}

void MeasureSurface() {
  HDC dc = GetDC(surface.window);
  GetWindowRect(surface.window, &surface.windowRect);
  surface.screenWidth = GetDeviceCaps(dc, HORZRES);
  surface.screenHeight = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(surface.window, dc);
}

void DestroySurface() {
  for (HRGN* region : kRegions) {
    DeleteObject(*region);
    *region = nullptr;
  }
  surface.window = nullptr;
  surface.instance = nullptr;
  for (Watched& w : watched) w = Watched{};
}

void RepaintRegion(HRGN region) {
  if (!region || !surface.window) return;
  InvalidateRgn(surface.window, region, TRUE);
  UpdateWindow(surface.window);
}

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
