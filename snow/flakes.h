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
