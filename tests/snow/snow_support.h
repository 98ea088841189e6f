// Helpers for the snow and sprite tests: a copy of the generator to predict
// draws, a saver to step, screen captures and a GDI handle probe.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "settings/settings.h"

// The program's generator, as a separate copy: predicts what RandomBelow
// returns without disturbing the real one.
struct Lcg {
  uint32_t state = 1;
  int Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
  int Below(int n) { return n == 0 ? 0 : Next() % n; }
};

// A full-screen saver with the defaults changed by edit; message boxes are
// recorded, the window is painted once, and the generator and the wind are
// put back to their start so that a test sees known draws.
HWND StartSaver(const std::function<void(SettingsRecord&)>& edit = [](SettingsRecord&) {});
void StopSaver(HWND saver);

// The saver window's pixels (0x00RRGGBB), row by row, width x height.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureDC(HDC dc, int width, int height);
Capture CaptureSaver(HWND saver);

// Paints stripes of several colours over the whole window, so that a pixel
// put back in the wrong place shows.
void PaintDetail(HWND saver);
void FillSaver(HWND saver, COLORREF colour);

// The index part of a newly made GDI handle: it grows when objects leak.
int HighestHandleIndex();

// Places slot i as given and marks it as drawn nowhere yet.
void PlaceFlake(int slot, int x, int y, int dx, int dy, int kind);

// Rows and columns of the screen where the region holds a pixel.
bool RegionHas(HRGN region, int x, int y);
HRGN RectRegion(int left, int top, int right, int bottom);
