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

// Drawing over watched rectangles. A module whose pictures must be drawn
// again only where something else drew over them (the trees) watches their
// rectangles; every step that writes to the saver window says what it wrote;
// the watcher asks once a frame whether anything was written over each
// rectangle since it last asked. A rectangle newly watched counts as written
// over, since nothing of it has been drawn yet.
constexpr int kWatchedRects = 8;
void WatchRect(int slot, const RECT& r);  // slot 0 .. kWatchedRects - 1
// Whether anything was written over the slot's rectangle; asking clears it.
bool TakeWrittenOver(int slot);
void WrittenOver(const RECT& r);
void WrittenEverywhere();
