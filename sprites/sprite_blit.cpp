#include "sprites/sprite_blit.h"

#include "snow/flakes.h"

void BitmapRect(RECT* r, HBITMAP bitmap) {
  if (!bitmap) return;
  BITMAP bm;
  if (GetObjectA(bitmap, sizeof bm, &bm) == sizeof bm) SetRect(r, 0, 0, bm.bmWidth, bm.bmHeight);
}

void DrawMasked(HDC, HBITMAP, HBITMAP, int, int, int, int) {}
void BlitShared(HDC, HBITMAP, int, int, int, int, DWORD) {}
void SaveFlakeBackground(HDC, Flake& flake) { flake.unsaved = 0; }
void RestoreFlakeBackground(HDC, Flake&, int, int) {}
void SaveSleighBackground(HDC) {}
void RestoreSleighBackground(HDC, int, int) {}
void EraseFlakesUnder(const RECT&) {}
void DeleteFlakeMemoryDC() {}
