#include "images/tiling.h"

namespace {

// The smallest whole number of tiles of this side that reaches kRepeatedSide.
int RepeatedLength(int side) { return (kRepeatedSide + side - 1) / side * side; }

}  // namespace

RepeatedTile RepeatTile(HDC source, int w, int h) {
  const RepeatedTile plain{{}, w, h};
  if (w <= 0 || h <= 0 || (w >= kRepeatedSide && h >= kRepeatedSide)) return plain;
  const int width = RepeatedLength(w);
  const int height = RepeatedLength(h);
  RepeatedTile tile{SelectIntoNewDC(CreateCompatibleBitmap(source, width, height), source), width, height};
  if (!tile.repeated.dc) return plain;
  HDC dc = tile.repeated.dc;
  // One copy, then the filled part doubled across, then down.
  BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
  for (int filled = w; filled < width; filled *= 2) {
    BitBlt(dc, filled, 0, filled < width - filled ? filled : width - filled, h, dc, 0, 0,
           SRCCOPY);
  }
  for (int filled = h; filled < height; filled *= 2) {
    BitBlt(dc, 0, filled, width, filled < height - filled ? filled : height - filled, dc,
           0, 0, SRCCOPY);
  }
  return tile;
}

void FreeRepeatedTile(RepeatedTile* tile) {
  FreeBitmapDC(&tile->repeated);
  *tile = RepeatedTile{};
}
