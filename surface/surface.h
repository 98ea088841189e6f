// What every drawing module shares: the saver window they draw on, the
// screen's size, and the scene's regions. The scene controller alone makes
// it (CreateSurface, when the saver window is created), measures it
// (MeasureSurface) and tears it down (DestroySurface); between the two the
// handles do not change, and in configuration mode, where no saver window
// exists, window and regions are null.
//
// The regions are GDI objects whose contents the modules named beside each
// change with region calls; any module may read them.
#pragma once

#include <windows.h>

struct SurfaceState {
  HINSTANCE instance;   // for every resource load; null without a saver window
  HWND window;          // the saver window
  int screenWidth;      // the device's full resolution, also in preview
  int screenHeight;
  RECT windowRect;      // the saver window in screen coordinates

  HRGN coverRegion;       // snow/cover: where flakes come to rest
  HRGN roomRegion;        // snow/cover: where the cover may grow
  HRGN oldRectRegion;     // snow/flakes: a flake being wiped
  HRGN eraseRegion;       // sprites/: what a sprite leaves behind
  HRGN scratchRegion;     // any module, for the span of one operation
  HRGN occupiedRegion;    // snow/occupied: the occupied set off the screen
};

const SurfaceState& Surface();

// The surface of a new saver window: its regions made empty, the screen
// measured.
void CreateSurface(HWND window, HINSTANCE instance);
// Reads the device's resolution and the window's place again.
void MeasureSurface();
// Deletes the regions; window and instance become null.
void DestroySurface();

// Has the saver window repaint its background inside the region at once;
// everything drawn there goes. A null region, or no window, does nothing.
void RepaintRegion(HRGN region);
