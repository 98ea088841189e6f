// The occupied set: the union of everything drawn over a saved background
// (flakes and the sleigh), minus what was taken off again. A flake whose new
// place meets it is not drawn, so that no saved background ever holds
// another sprite.
//
// Region calls on a region of many hundred rectangles are far too slow to
// run twice per flake per frame, so the part on the screen is kept as one
// byte per pixel, and only the part off the screen (flakes that drift out at
// the sides or fall past the bottom) in the scene's occupied region; on a
// screen too large for such a map (snow/pixel_map.h), all of it. All that
// adds to, takes from or tests the set goes through these calls.
#pragma once

#include <windows.h>

// Made once with the scene, freed once with it.
void CreateOccupiedSet();
void DeleteOccupiedSet();

void OccupiedAddRect(const RECT& r);
void OccupiedRemoveRect(const RECT& r);
// Whether any pixel of r is occupied (RectInRegion on the whole set).
bool OccupiedIntersects(const RECT& r);
// Cuts everything outside (0, 0, screen width, screen height) away.
void OccupiedClipToScreen();
// Sizes the on-screen part to the measured screen.
void OccupiedFitScreen();
// The whole set as a new region, for checking; the caller deletes it.
HRGN OccupiedAsRegion();

// r with left <= right and top <= bottom, as SetRectRgn takes a rectangle.
RECT OrderedRect(const RECT& r);
