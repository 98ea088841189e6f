// The snow cover: where flakes come to rest (cover region) and where the
// cover may grow (room region), along the ground and inside the mask.
#pragma once

#include <windows.h>

// Binds the saver window, fetches its DC as the working DC, measures the
// screen and rebuilds cover and room from scratch.
void MeasureScreen();
void BuildCover();
void BuildRoom();
void RebuildCover();

void ApplySnowOnMask(int newValue, int oldValue);
void ApplySnowOnGround(int newValue, int oldValue);
void ApplySnowDepth(int newValue, int oldValue);

// Whether the cover holds a pixel (PtInRegion on the cover region). Flakes
// ask this twice per frame each; the answer comes from a pixel map of the
// screen and a margin around it that is kept in step with the region, which
// is much cheaper than a region lookup on the many rectangles of the cover.
bool CoverHas(int x, int y);
// Grows the cover region by a rectangle, and the map with it.
void CoverAddRect(const RECT& r);
// Every change to the cover region other than CoverAddRect must call this.
void CoverChanged();
