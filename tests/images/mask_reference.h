// The mask region built the slow, plain way: every rectangle ORed into one
// growing region as soon as it is found. The tests hold the fast builder to
// exactly this result.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

struct ReferenceResult {
  HRGN region = nullptr;
  int rects = 0;       // rectangles added
  bool cut = false;    // stopped after the one that crossed maxRects
};

ReferenceResult ReferenceMaskRegion(const BITMAP* placed, int maxRects);

// A 1-bit source bitmap drawn from black(x, y), selected into its own DC.
struct MonoSource {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HBITMAP old = nullptr;
  int width = 0;
  int height = 0;
  ~MonoSource();
};
void MakeMonoSource(MonoSource* s, int width, int height, const std::function<bool(int, int)>& black);

// The pixels of a 1-bit bitmap description, true where black.
bool PlacedBlack(const BITMAP& placed, int x, int y);

// The built-in mask's pixels, read from the resource: true where black.
std::vector<std::vector<bool>> BuiltinMaskPixels();
