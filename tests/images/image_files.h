// What the image tests share: BMP files put together from their parts, a
// reader at a page end, a canvas to paint into, and regions made the plain
// way.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "images/mask_region.h"
#include "images/picture.h"
#include "resources/resource.h"
#include "scene/scene.h"
#include "support/memory_surface.h"
#include "support/test_support.h"

using Bytes = std::vector<uint8_t>;
using Grid = std::function<bool(int, int)>;
using Strings = std::vector<std::string>;
constexpr int kAnyCount = 1 << 30;  // a mask's rectangle budget that nothing reaches

inline Strings Seen(const std::vector<SeenMessageBox>& boxes) {  // "caption: text" of plain boxes without owner
  Strings seen;
  for (auto& b : boxes) seen.push_back(b.caption + ": " + b.text + (b.type || b.owner ? " (other box)" : ""));
  return seen;
}

inline Bytes Patch(Bytes file, size_t at, uint32_t v, int n = 4) {
  for (int i = 0; i < n; ++i) file[at + i] = static_cast<uint8_t>(v >> 8 * i);
  return file;
}
// Colours of the test pictures: black, white, then a spread; Shown(x, y, n) is
// how a pixel of Pic(w, h, bits) with n colours (0: true colour) is painted.
inline uint32_t Entry(int i) { return i < 2 ? 0xFFFFFF * i : i << 16 | (255 - i) << 8 | (i * 7 & 0xFF); }
inline uint32_t Shown(int x, int y, int n) { return n ? Entry((x * 7 + y * 3) % n) : (Entry(x + y) ^ 0x5A) & 0xFFFFFF; }
// w x |h| pixels (h < 0: top-down) of bits bits after a table of the first n
// colours; value(x, y), y from the top, is an index, 0xRRGGBB or raw.
inline Bytes BmpFile(int w, int h, int bits, int n, std::function<uint32_t(int, int)> value) {
  const size_t rows = std::abs(h), stride = (bits * w + 31) / 32 * 4, start = 54 + 4 * n;
  Bytes f = Patch(Patch(Patch(Bytes(start + stride * rows), 0, 'B' | 'M' << 8, 2), 10, start), 14, 40);
  f = Patch(Patch(Patch(Patch(f, 2, f.size()), 18, w), 22, h), 26, 1 | bits << 16);
  for (int i = 0; i < n; ++i) f = Patch(f, 54 + 4 * i, Entry(i));
  for (size_t r = 0, x = 0; r < rows; x = (x + 1) % w, r += !x) {
    const uint32_t v = value(x, h < 0 ? r : rows - 1 - r);
    uint8_t* p = &f[start + r * stride + x * bits / 8];
    if (bits < 8) *p |= static_cast<uint8_t>((v & ((1 << bits) - 1)) << (8 - bits - x * bits % 8));
    for (int i = 0; i < bits / 8; ++i) p[i] = static_cast<uint8_t>(v >> 8 * i);
  }
  return f;
}
inline Bytes Pic(int w, int h, int bits) {
  const int n = bits > 8 ? 0 : 1 << bits;
  return BmpFile(w, h, bits, n, [n](int x, int y) { return n ? (x * 7 + y * 3) % n : Shown(x, y, 0); });
}
inline Bytes MaskFile(int w, int h, const Grid& black, int bits = 1) {
  return BmpFile(w, h, bits, 2, [&](int x, int y) { return black(x, y) ? 0 : 1; });
}

inline std::string Scratch(const std::string& name) {  // in a folder of this process
  const auto dir = std::filesystem::temp_directory_path() / ("nivalo-images-" + std::to_string(GetCurrentProcessId()));
  return std::filesystem::create_directories(dir), (dir / name).string();
}
inline std::string Write(const std::string& name, const Bytes& bytes) {
  std::ofstream(Scratch(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return Scratch(name);
}
inline Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline BmpImage Fresh() { BmpImage image{}; return ClearBmpInfo(&image), image; }
// Reads bytes placed right before a page without access.
inline int ReadAtPageEnd(const Bytes& bytes, BmpImage* image) {
  const SIZE_T page = 4096, span = (bytes.size() + page - 1) / page * page;
  auto* end = static_cast<uint8_t*>(VirtualAlloc(nullptr, span + page, MEM_COMMIT, PAGE_READWRITE)) + span;
  DWORD old;
  VirtualProtect(end, page, PAGE_NOACCESS, &old);
  std::copy(bytes.begin(), bytes.end(), end - bytes.size());
  const int result = ReadBmpBytes(end - bytes.size(), static_cast<uint32_t>(bytes.size()), image);
  return VirtualFree(end - span, 0, MEM_RELEASE), result;
}

// A w x h canvas in memory, every pixel fill, to paint pictures on.
struct Canvas : MemorySurface {
  const int width, height;
  Canvas(int w, int h, uint32_t fill) : MemorySurface({RECT{0, 0, w, h}}, fill), width(w), height(h) {}
  void Draw(BmpImage* image, int layout) { DrawPicture(nullptr, dc, image, width, height, layout); }
};

// The union of the runs of pixels where in(x, y), ORed one at a time.
inline HRGN PlainRegion(int w, int h, const Grid& in) {
  HRGN region = CreateRectRgn(0, 0, 0, 0), piece = CreateRectRgn(0, 0, 0, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0, end = 0; x < w; x = std::max(end, x + 1)) {
      for (end = x; end < w && in(end, y);) ++end;
      if (end > x) SetRectRgn(piece, x, y, end, y + 1), CombineRgn(region, region, piece, RGN_OR);
    }
  }
  return DeleteObject(piece), region;
}
inline bool SameRegion(HRGN expected, HRGN actual) {  // and deletes both; null is no region
  const bool same = expected && actual ? EqualRgn(expected, actual) : expected == actual;
  return DeleteObject(expected), DeleteObject(actual), same;
}

// A mask laid on a screen against the rules: the body is where the laid mask is black, the edge where it
// is white and black two rows higher (black(x, -1) tells what lies above the screen).
inline void ExpectLaid(const std::function<HRGN(MaskRegionKind)>& build, int w, int h, const Grid& black) {
  EXPECT_TRUE(SameRegion(PlainRegion(w, h, black), build(kMaskBody))) << "body";
  auto edge = [&](int x, int y) { return !black(x, y) && black(x, y - 2); };
  EXPECT_TRUE(SameRegion(PlainRegion(w, h, edge), build(kMaskEdge))) << "edge";
}
