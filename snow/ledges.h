// Ledges: the top edges of the desktop's windows, where snow settles as it
// does on the ground, up to WindowSnowDepth rows high.
#pragma once

#include <windows.h>

#include <vector>

struct Ledge {
  int left, right;  // the columns left .. right - 1
  int edge;         // the window's top row; the snow lies on the rows above
  int ceiling;      // the highest row the snow reaches: the depth above the
                    // edge, or lower where a window in front or the top of
                    // the monitor comes first
};

// The ledges of windows (front to back) on monitors (all in the same
// coordinates), with room for depth rows of snow. A top edge is no ledge
// where a window in front covers it or the row above it, where it lies on
// no monitor or on a monitor's top row, nor where it has no room.
std::vector<Ledge> FindLedges(const std::vector<RECT>& windows, const std::vector<RECT>& monitors,
                              int depth);

// The ledges of the desktop the scene shows, found again from its windows,
// the surface's monitors and WindowSnowDepth; none without a desktop.
void PlaceLedges();
const std::vector<Ledge>& Ledges();
void ForgetLedges();

// The seeds of the cover, a band of two rows just under each edge, and the
// room, a mound on each edge below its ceiling, joined into region (through
// scratch).
void AddLedgeSeeds(HRGN region, HRGN scratch);
void AddLedgeRoom(HRGN region, HRGN scratch);

// Where a flake with the rectangle r, resting as snow, may show, found by
// its column x: by a ledge, the ledge's snow, its columns from the ceiling
// down to the edge; elsewhere anywhere.
RECT RestingArea(int x, const RECT& r);
