#include "images/tiling.h"

namespace {

// The smallest whole number of tiles of this side that reaches kRepeatedSide.
int RepeatedLength(int side) { return (kRepeatedSide + side - 1) / side * side; }

}  // namespace

RepeatedTile RepeatTile(HDC source, int w, int h) {
  RepeatedTile tile;
  if (w <= 0 || h <= 0 || (w >= kRepeatedSide && h >= kRepeatedSide)) return tile;
  const int width = RepeatedLength(w);
  const int height = RepeatedLength(h);
  tile.bitmap = CreateCompatibleBitmap(source, width, height);
  if (!tile.bitmap) return RepeatedTile{};
  tile.dc = CreateCompatibleDC(source);
  tile.start = SelectObject(tile.dc, tile.bitmap);
  tile.width = width;
  tile.height = height;
  // One copy, then the filled part doubled across, then down.
  BitBlt(tile.dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
  for (int filled = w; filled < width; filled *= 2) {
    BitBlt(tile.dc, filled, 0, filled < width - filled ? filled : width - filled, h, tile.dc, 0, 0,
           SRCCOPY);
  }
  for (int filled = h; filled < height; filled *= 2) {
    BitBlt(tile.dc, 0, filled, width, filled < height - filled ? filled : height - filled, tile.dc,
           0, 0, SRCCOPY);
  }
  return tile;
}

void FreeRepeatedTile(RepeatedTile* tile) {
  if (tile->dc) {
    SelectObject(tile->dc, tile->start);
    DeleteDC(tile->dc);
  }
  if (tile->bitmap) DeleteObject(tile->bitmap);
  *tile = RepeatedTile{};
}
