// What the snow and sprite tests share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "images/bitmap_rect.h"
#include "images/mask_region.h"
#include "scene/scene.h"
#include "snow/cover.h"
#include "snow/flakes.h"
#include "snow/occupied.h"
#include "snow/random.h"
#include "snow/wind.h"
#include "sprites/sleigh.h"
#include "sprites/sprite_blit.h"
#include "support/test_support.h"
#include "surface/surface.h"

inline void SnowOnly(SettingsRecord& s) { s.MaskPath[0] = 0, s.SleighOn = s.SceneryOn = 0; }

inline std::array<int, 8> Of(const Flake& f) {
  return {f.x, f.y, f.dx, f.dy, f.kind, f.cover, f.hidden, f.unsaved};
}
inline std::array<int, 8> Slot(int i) { return Of(FlakeAt(i)); }
inline std::array<int, 3> Of(const WindState& w) { return {w.phase, w.strength, w.direction}; }

inline HRGN Rgn(const std::vector<RECT>& rects) { return UnionOfRects(rects); }

inline bool Equal(HRGN made, HRGN other) {  // and deletes the first
  const bool same = EqualRgn(made, other);
  DeleteObject(made);
  return same;
}

inline Capture Detail(HWND saver) { return PaintDetail(saver), CaptureSaver(saver); }  // stripes

// Whether the screen is as it was but for the background's grey in the region (deleted).
inline bool RepaintedIn(HWND saver, const Capture& was, HRGN region) {
  Capture want = was;
  for (int y = 0; y < want.height; ++y)
    for (int x = 0; x < want.width; ++x)
      if (PtInRegion(region, x, y)) want.pixels[y * want.width + x] = 0x808080;
  DeleteObject(region);
  return want == CaptureSaver(saver);
}

// The art of a sprite as drawn for the program ("tree", "sleigh-small-red-0-mask").
inline HBITMAP SpriteFile(const std::string& name) {
  const std::string path = NIVALO_SPRITES_DIR "/" + name + ".bmp";
  return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}
