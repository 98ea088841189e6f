// Pixel maps: one byte per pixel of the screen, for lookups far cheaper than
// a region's. A screen whose map would hold more than kMaxMapPixels bytes,
// or more than the process can get, has none, and whoever keeps one answers
// from its region alone.
#pragma once

#include <cstdint>
#include <vector>

// About seven screens of 3840 x 2160 side by side.
constexpr uint64_t kMaxMapPixels = uint64_t{1} << 26;

// Makes map width x height bytes, all 0; false, with map empty, where that
// cannot be had.
bool SizePixelMap(std::vector<uint8_t>& map, int width, int height);
