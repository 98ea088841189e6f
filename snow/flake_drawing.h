// How flakes reach the screen: each slot's saved background, the OR-blit of
// a flake's shape, and the one-copy move of a flake from its old place to
// its new one.
//
// The saved backgrounds of all slots live side by side in one bitmap, a
// 7 x 7 cell per slot, kept selected in one memory DC for the whole scene:
// selecting a separate bitmap per flake for every save and restore costs far
// more than the copies themselves. The store and the DCs are made once when
// the scene is created and freed once when it goes.
#pragma once

#include <windows.h>

#include "settings/settings.h"

// The flake slots, one for each flake the settings allow, each with its cell
// in the store.
constexpr int kFlakeSlots = kMostFlakes;

void CreateFlakeDrawing();
void DeleteFlakeDrawing();

// The screen pixels of the w x h rectangle at (x, y) into the slot's cell,
// and the cell back to the screen at (x, y).
void SaveFlakeBackground(HDC dc, int slot, int x, int y, int w, int h);
void RestoreFlakeBackground(HDC dc, int slot, int x, int y, int w, int h);

// BitBlt of the w x h of a bitmap from (sourceX, sourceY) to (x, y) with the
// given raster code, through the one flake memory DC.
void BlitShared(HDC dc, HBITMAP bitmap, int x, int y, int w, int h, DWORD rop, int sourceX = 0,
                int sourceY = 0);

// One step of a flake that is erased at (oldX, oldY) and drawn at (x, y): the
// same pixels as RestoreFlakeBackground at the old place, then
// SaveFlakeBackground and the OR of its shape (rows: one byte per row, the
// leftmost pixel in the top bit) at the new one, but with one copy from the
// screen of the rectangle around both places and one copy back, the rest
// done in memory. False when the two places lie too far apart for that; the
// caller then does the three steps itself.
bool MoveFlakeImage(HDC dc, int slot, int oldX, int oldY, int x, int y, int w, int h,
                    const unsigned char* rows);
