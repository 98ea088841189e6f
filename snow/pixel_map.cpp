#include "snow/pixel_map.h"

#include <new>

bool SizePixelMap(std::vector<uint8_t>& map, int width, int height) {
  // The old map goes first, so that it does not stand in the way of the new.
  std::vector<uint8_t>().swap(map);
  const uint64_t pixels =
      width > 0 && height > 0 ? static_cast<uint64_t>(width) * static_cast<uint64_t>(height) : 0;
  if (pixels > kMaxMapPixels) return false;
  try {
    map.assign(static_cast<size_t>(pixels), 0);
  } catch (const std::bad_alloc&) {
    std::vector<uint8_t>().swap(map);
    return false;
  }
  return true;
}
