// Writing BMP files for the image tests: byte-exact files put together from
// their parts, in a scratch folder of the test process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "images/bmp_image.h"

using Bytes = std::vector<uint8_t>;

// A folder of its own for this process, made on first use.
std::string ScratchDir();
std::string ScratchPath(const std::string& name);
std::string WriteScratchFile(const std::string& name, const Bytes& bytes);

// Stored rows of bitCount-bit pixels, bottom-up (or top-down), each padded to
// 32 bits. value(x, y) counts y from the top and gives a palette index, or
// 0xRRGGBB for 24 and 32 bits, or the raw 16-bit value.
Bytes PackRows(int width, int height, int bitCount, const std::function<uint32_t(int, int)>& value,
               bool topDown = false);

struct BmpParts {
  int32_t width = 1;
  int32_t height = 1;          // stored as given: negative for top-down
  uint16_t planes = 1;
  uint16_t bitCount = 8;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;      // the field as stored
  uint32_t clrUsed = 0;        // the field as stored
  uint32_t headerSize = 40;
  std::vector<uint32_t> masks; // written right after a 40-byte header, or into a longer one
  std::vector<uint32_t> table; // 0xRRGGBB entries, written as blue, green, red, 0
  Bytes gap;                   // bytes between the table and the pixels
  Bytes pixels;
  int64_t offBits = -1;        // -1: where the pixels really start
};
Bytes BmpFile(const BmpParts& parts);

// A palette of n entries whose colour i is given by colour(i).
std::vector<uint32_t> Palette(int n, const std::function<uint32_t(int)>& colour);

// A fresh record with its 1064-byte block, and its release.
BmpImage FreshImage();

// The reader run on bytes placed so that they end right at a page without
// access: reading one byte too far faults.
int ReadAtPageEnd(const Bytes& bytes, BmpImage* image);

// The pixel array of a loaded record.
const uint8_t* ImageBits(const BmpImage& image);
const uint8_t* ImageTable(const BmpImage& image);

// A 24-bit top-down DIB section selected into a memory DC, filled with fill.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HBITMAP old = nullptr;
  uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  COLORREF At(int x, int y) const;  // RGB()
  ~Canvas();
};
void MakeCanvas(Canvas* canvas, int width, int height, COLORREF fill);

// Region helpers: the region's rectangles, and a region from a grid of
// pixels, one rectangle per run, built one rectangle at a time.
std::vector<RECT> RegionRects(HRGN region);
HRGN RegionFromGrid(int width, int height, const std::function<bool(int, int)>& in);
