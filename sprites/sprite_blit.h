// Drawing helpers for everything that moves over the screen without a
// repaint: masked sprites, the flake blit, saving and restoring backgrounds.
#pragma once

#include <windows.h>

struct Flake;

// (0, 0, width, height) of the bitmap; a null bitmap leaves r as it is.
void BitmapRect(RECT* r, HBITMAP bitmap);
// The image where the mask is white, the screen where it is black.
void DrawMasked(HDC dc, HBITMAP mask, HBITMAP image, int x, int y, int w, int h);
void BlitShared(HDC dc, HBITMAP bitmap, int x, int y, int w, int h, DWORD rop);
void SaveFlakeBackground(HDC dc, Flake& flake);
void RestoreFlakeBackground(HDC dc, Flake& flake, int x, int y);
void SaveSleighBackground(HDC dc);
void RestoreSleighBackground(HDC dc, int x, int y);
void EraseFlakesUnder(const RECT& r);

// Deletes the flake memory DC if the first flake drawing made it, and the
// work DCs that DrawMasked keeps between calls.
void DeleteFlakeMemoryDC();

// The saved backgrounds of all flake slots live side by side in one bitmap,
// a 7 x 7 cell per slot, kept selected in one memory DC for the whole run:
// selecting a separate bitmap per flake for every save and restore costs far
// more than the copies themselves. Made on first use, compatible with dc.
HBITMAP FlakeBackgroundStore(HDC dc);
// The store's memory DC (null before the store exists) and the top-left
// pixel of a slot's cell in it.
HDC FlakeBackgroundDC();
POINT FlakeBackgroundCell(int slot);
// Teardown: the store bitmap and its DC.
void DeleteFlakeBackgroundStore();

// One step of a flake that is erased at (oldX, oldY) and drawn at its new
// place: the same pixels as RestoreFlakeBackground at the old place, then
// SaveFlakeBackground and the SRCPAINT of its shape at the new one, but with
// one copy from the screen of the rectangle around both places and one copy
// back, the rest done in memory. False when the two places lie too far
// apart for that; the caller then does the three steps itself.
bool MoveFlakeImage(HDC dc, Flake& flake, int oldX, int oldY);
