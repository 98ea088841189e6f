// The falling flakes: 500 slots, the three flake shapes, and the helper with
// which any part of the scene wipes an area back to its background.
#pragma once

#include <windows.h>

constexpr int kFlakeSlots = 500;
constexpr int kFlakeKinds = 3;

struct Flake {
  int x;             // left edge, screen pixels
  int y;             // top edge
  int dx;            // sideways step per frame
  int dy;            // fall step per frame
  int kind;          // 0, 1 or 2
  int inCover;       // -1 just spawned, 1 touched the cover last update, 0 not
  int hidden;        // 1 if it met the occupied region at its last update
  HBITMAP saveBitmap;  // screen pixels under the flake where last drawn
  int unsaved;       // 1 while saveBitmap holds nothing valid
  int slot;          // which cell of the shared background store is its own
};

struct FlakeKind {
  HBITMAP shape;  // 16 x 8 monochrome pattern
  RECT extent;    // (0, 0, width, height)
};

Flake& FlakeAt(int slot);
const FlakeKind& FlakeKindAt(int kind);

void CreateFlakeKinds();
void DeleteFlakeKinds();
void SpawnFlake(int slot);
void UpdateFlakes();
void UpdateFlake(int slot);
void EraseFlake(int slot);
// Frees what the slots hold (their saved backgrounds) at teardown.
void DeleteFlakeSlots();

// Has the saver window repaint its background inside the region at once.
void RepaintRegion(HRGN region);

void ApplyFlakeCount(int oldCount, int newCount);
void ApplySnowfallSwitch(int newValue, int oldValue);

// The occupied set: the union of everything drawn over a saved background
// (flakes and the sleigh), minus what was taken off again. Region calls on a
// region of many hundred rectangles are far too slow to run twice per flake
// per frame, so the part on the screen is kept as one byte per pixel and only
// the part off the screen (flakes that drift out at the sides or fall past
// the bottom) is kept in the scene's occupied region. Everything that adds
// to, takes from or tests the occupied set goes through these calls; none
// may combine into the occupied region directly.
void OccupiedAddRect(const RECT& r);
void OccupiedRemoveRect(const RECT& r);
// Whether any pixel of r is occupied (RectInRegion on the whole set).
bool OccupiedIntersects(const RECT& r);
// Cuts everything outside (0, 0, screen width, screen height) away.
void OccupiedClipToScreen();
// Empties the set (a new scene starts with an empty occupied region).
void OccupiedClear();
// Sizes the on-screen part to the measured screen.
void OccupiedFitScreen();
// The whole set as a new region, for checking; the caller deletes it.
HRGN OccupiedAsRegion();
