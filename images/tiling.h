// Tiling a small picture over a large area. A tile of a few pixels would
// take hundreds of thousands of blits to cover a screen, so the tile is first
// repeated into a larger one: a whole number of copies wide and high, at
// least kRepeatedSide pixels each way, made with a few doubling copies.
#pragma once

#include <windows.h>

#include "images/bitmap_dc.h"

constexpr int kRepeatedSide = 128;

struct RepeatedTile {
  BitmapDC repeated;  // compatible with the source's DC; empty: tile with the source
  int width = 0;      // of one tile
  int height = 0;
};

// The w x h picture in source, repeated. A tile already that large, or a
// bitmap that cannot be made, gives no copies: the tile is the source's.
RepeatedTile RepeatTile(HDC source, int w, int h);
// Where the tile's pixels are: in the copies, or in the source.
inline HDC TileSource(const RepeatedTile& tile, HDC source) {
  return tile.repeated.dc ? tile.repeated.dc : source;
}
void FreeRepeatedTile(RepeatedTile* tile);

// Calls blit(x, y) for every tile of a w x h tiling laid from (0, 0) that
// meets the area, column by column, each column from the top.
template <typename Blit>
void ForEachTile(int w, int h, const RECT& area, Blit blit) {
  if (w <= 0 || h <= 0 || area.left >= area.right || area.top >= area.bottom) return;
  const int firstX = area.left > 0 ? area.left / w * w : 0;
  const int firstY = area.top > 0 ? area.top / h * h : 0;
  for (int x = firstX; x < area.right; x += w) {
    for (int y = firstY; y < area.bottom; y += h) blit(x, y);
  }
}
