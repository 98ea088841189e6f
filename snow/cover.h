// The snow cover: where flakes come to rest (cover region) and where the
// cover may grow (room region), along the ground, inside the mask and on the
// ledges of the desktop's windows.
#pragma once

#include <windows.h>

// Cover and room from scratch (BuildCover discards all grown snow), and the
// cover's seeds put back while grown snow is kept (RebuildCover).
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
// Grows the cover by a rectangle: the map at once, the region by the time
// anyone reads it through CoverRegion or SettleLandedSnow is called (the
// frame's flake update does so when all its flakes have moved).
void CoverAddRect(const RECT& r);
void SettleLandedSnow();
// The cover region with everything that has landed.
HRGN CoverRegion();
// Every change to the cover region other than CoverAddRect must call this.
void CoverChanged();
// Whether the room holds a pixel (PtInRegion on the room region).
bool RoomHas(int x, int y);
// Drops the cover map and the ledges when the scene goes.
void ForgetCover();
