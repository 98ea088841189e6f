#include "snow/occupied.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "images/mask_region.h"
#include "snow/pixel_map.h"
#include "surface/surface.h"

namespace {

// On the screen: one byte per pixel, 1 where occupied. Off the screen: the
// scene's occupied region, which therefore never holds a pixel of the screen.
// A screen too large for a map has none: the region holds all of the set.
std::vector<uint8_t> occupiedPixels;
int occupiedWidth = 0;
int occupiedHeight = 0;
HRGN rectRegion = nullptr;    // a rectangle for one region call
HRGN screenRegion = nullptr;  // (0, 0, width, height)

// The part of r on the screen; false when there is none.
bool OnScreenPart(const RECT& r, RECT* part) {
  part->left = r.left < 0 ? 0 : r.left;
  part->top = r.top < 0 ? 0 : r.top;
  part->right = r.right > occupiedWidth ? occupiedWidth : r.right;
  part->bottom = r.bottom > occupiedHeight ? occupiedHeight : r.bottom;
  return part->left < part->right && part->top < part->bottom;
}

bool ReachesOffScreen(const RECT& r) {
  return r.left < r.right && r.top < r.bottom &&
         (r.left < 0 || r.top < 0 || r.right > occupiedWidth || r.bottom > occupiedHeight);
}

void FillPixels(const RECT& part, uint8_t value) {
  const size_t w = static_cast<size_t>(part.right - part.left);
  for (int y = part.top; y < part.bottom; ++y) {
    memset(&occupiedPixels[static_cast<size_t>(y) * occupiedWidth + part.left], value, w);
  }
}

}  // namespace

RECT OrderedRect(const RECT& r) {
  RECT o = r;
  if (o.left > o.right) std::swap(o.left, o.right);
  if (o.top > o.bottom) std::swap(o.top, o.bottom);
  return o;
}

void CreateOccupiedSet() {
  rectRegion = CreateRectRgn(0, 0, 0, 0);
  screenRegion = CreateRectRgn(0, 0, 0, 0);
}

void DeleteOccupiedSet() {
  if (rectRegion) DeleteObject(rectRegion);
  if (screenRegion) DeleteObject(screenRegion);
  rectRegion = screenRegion = nullptr;
  occupiedPixels.clear();
  occupiedWidth = occupiedHeight = 0;
}

void OccupiedAddRect(const RECT& given) {
  const RECT r = OrderedRect(given);
  RECT part{0, 0, 0, 0};
  const bool onScreen = OnScreenPart(r, &part);
  if (onScreen) FillPixels(part, 1);
  HRGN off = Surface().occupiedRegion;
  if (off && rectRegion && ReachesOffScreen(r)) {
    SetRectRgn(rectRegion, r.left, r.top, r.right, r.bottom);
    CombineRgn(off, off, rectRegion, RGN_OR);
    if (onScreen) {
      SetRectRgn(screenRegion, 0, 0, occupiedWidth, occupiedHeight);
      CombineRgn(off, off, screenRegion, RGN_DIFF);
    }
  }
}

void OccupiedRemoveRect(const RECT& given) {
  const RECT r = OrderedRect(given);
  RECT part;
  if (OnScreenPart(r, &part)) FillPixels(part, 0);
  HRGN off = Surface().occupiedRegion;
  if (off && rectRegion && ReachesOffScreen(r)) {
    SetRectRgn(rectRegion, r.left, r.top, r.right, r.bottom);
    CombineRgn(off, off, rectRegion, RGN_DIFF);
  }
}

bool OccupiedIntersects(const RECT& given) {
  const RECT r = OrderedRect(given);
  RECT part;
  if (OnScreenPart(r, &part)) {
    const size_t w = static_cast<size_t>(part.right - part.left);
    for (int y = part.top; y < part.bottom; ++y) {
      const uint8_t* row = &occupiedPixels[static_cast<size_t>(y) * occupiedWidth + part.left];
      for (size_t x = 0; x < w; ++x) {
        if (row[x]) return true;
      }
    }
  }
  HRGN off = Surface().occupiedRegion;
  return off && ReachesOffScreen(r) && RectInRegion(off, &r);
}

void OccupiedClipToScreen() {
  const SurfaceState& surface = Surface();
  SetRectRgn(surface.scratchRegion, 0, 0, surface.screenWidth, surface.screenHeight);
  CombineRgn(surface.occupiedRegion, surface.occupiedRegion, surface.scratchRegion, RGN_AND);
}

void OccupiedFitScreen() {
  const SurfaceState& surface = Surface();
  if (surface.screenWidth == occupiedWidth && surface.screenHeight == occupiedHeight) return;
  occupiedWidth = surface.screenWidth > 0 ? surface.screenWidth : 0;
  occupiedHeight = surface.screenHeight > 0 ? surface.screenHeight : 0;
  // Without a map all of the set, on the screen too, is in the region.
  if (!SizePixelMap(occupiedPixels, occupiedWidth, occupiedHeight)) occupiedWidth = occupiedHeight = 0;
}

HRGN OccupiedAsRegion() {
  std::vector<RECT> rects;
  for (int y = 0; y < occupiedHeight; ++y) {
    const uint8_t* row = &occupiedPixels[static_cast<size_t>(y) * occupiedWidth];
    int x = 0;
    while (x < occupiedWidth) {
      if (!row[x]) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < occupiedWidth && row[x]) ++x;
      rects.push_back(RECT{start, y, x, y + 1});
    }
  }
  HRGN all = UnionOfRects(rects);
  if (Surface().occupiedRegion) CombineRgn(all, all, Surface().occupiedRegion, RGN_OR);
  return all;
}
