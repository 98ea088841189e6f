#include "surface/surface.h"

namespace {

SurfaceState surface{};

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
}

void RepaintRegion(HRGN region) {
  if (!region || !surface.window) return;
  InvalidateRgn(surface.window, region, TRUE);
  UpdateWindow(surface.window);
}
