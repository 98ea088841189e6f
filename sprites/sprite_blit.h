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

// Deletes the flake memory DC if the first flake drawing made it.
void DeleteFlakeMemoryDC();
