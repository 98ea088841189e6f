// The falling flakes: 500 slots and the three flake shapes.
#pragma once

#include <windows.h>

#include "snow/flake_drawing.h"  // kFlakeSlots
constexpr int kFlakeKinds = 3;

// One slot. Its saved background is the slot's cell of the flake store
// (snow/flake_drawing.h).
struct Flake {
  int x;             // left edge, screen pixels
  int y;             // top edge
  int dx;            // sideways step per frame
  int dy;            // fall step per frame
  int kind;          // 0, 1 or 2
  int inCover;       // -1 just spawned, 1 touched the cover last update, 0 not
  int hidden;        // 1 if it met the occupied set at its last update
  int unsaved;       // 1 while the saved background holds nothing valid
};

struct FlakeKind {
  HBITMAP shape;  // 16 x 8 monochrome pattern
  RECT extent;    // (0, 0, width, height)
};

const Flake& FlakeAt(int slot);
const FlakeKind& FlakeKindAt(int kind);
// The flake's rectangle on the screen: its kind's extent at (x, y).
RECT FlakeRect(const Flake& flake);

void CreateFlakeKinds();
void DeleteFlakeKinds();
void SpawnFlake(int slot);
// One frame of every active flake, drawn into dc.
void UpdateFlakes(HDC dc);
void UpdateFlake(HDC dc, int slot);
// Wipes a flake that is not part of the snow cover off the screen.
void EraseFlake(int slot);
// Puts back the saved background of every drawn active flake that meets r,
// so that a sprite saving the screen there does not catch a flake.
void EraseFlakesUnder(HDC dc, const RECT& r);

void ApplyFlakeCount(int newCount, int oldCount);
void ApplySnowfallSwitch(int newValue, int oldValue);
