// What no file can do to the saver: sizes no picture has, RLE that claims
// rows its data cannot reach, device bitmaps that cannot be made, tiny tiles,
// and mutated files of every kind.
#include <cstdlib>
#include <random>

#include "images/image_files.h"

#include <psapi.h>

namespace {

// A file whose header states width x height of 1 bit, with no more pixel
// bytes than the rows need.
Bytes OneBit(int w, int h) { return MaskFile(w, h, [](int x, int y) { return (x ^ y) & 1; }); }
// An RLE8 file of w x h with the given data after a two-entry table.
Bytes Rle8(int w, int h, const Bytes& data) {
  Bytes f = BmpFile(1, 1, 8, 2, [](int, int) { return 0; });
  f.resize(62);
  f.insert(f.end(), data.begin(), data.end());
  return Patch(Patch(Patch(Patch(Patch(f, 2, f.size()), 18, w), 22, h), 30, BI_RLE8), 34, data.size());
}

TEST(BmpLoader, RefusesSizesNoPictureHasAndRowsRleCannotReach) {
  Bytes rows;  // one end-of-line per row, then the end
  for (int i = 0; i < 64; ++i) rows.insert(rows.end(), {0, 0});
  rows.insert(rows.end(), {0, 1});
  const Bytes small(106 - 62, 0);
  const std::tuple<const char*, Bytes, int> cases[] = {
      {"6144 x 4096, the most pixels taken", OneBit(6144, 4096), 1}, {"6144 x 4097", OneBit(6144, 4097), 0},
      {"RLE claiming 4096 x 65535 from 44 bytes", Rle8(4096, 65535, small), 0},
      {"RLE claiming 32768 x 4096", Rle8(32768, 4096, small), 0}, {"RLE of 64 empty rows", Rle8(640, 64, rows), 1},
      {"RLE claiming more rows than its 130 bytes reach", Rle8(640, 65 * 255 + 2, rows), 0}};
  for (auto& [name, file, loaded] : cases) {
    BmpImage image = Fresh();
    EXPECT_EQ(loaded, ReadAtPageEnd(file, &image)) << name;
    FreeBmpImage(&image);
  }
  auto& boxes = RecordMessageBoxes();
  for (const char* device : {"NUL", "\\\\.\\NUL"}) {  // a path that names no file on a disk
    BmpImage image = Fresh();
    EXPECT_EQ(0, LoadBmpImage(nullptr, device, 0, &image)) << device;
    FreeBmpImage(&image);
  }
  EXPECT_EQ(Strings{}, Seen(boxes)) << "refused as no file, which the caller reports";
}

HBITMAP WINAPI NoDeviceBitmap(HDC, int, int) { return nullptr; }

// Old systems refuse large device bitmaps: the picture is then kept in a DIB
// section, painted and turned into masks the same, and nothing leaks.
TEST(Picture, KeptInADibSectionWhenNoDeviceBitmapCanBeMade) {
  const Bytes file = Pic(50, 40, 8);
  const Grid ring = [](int x, int y) { return (x - 25) * (x - 25) + (y - 20) * (y - 20) < 200; };
  std::vector<uint32_t> painted[2];
  std::vector<HRGN> masks[2];
  int freePlaces = 0;
  for (int withDevice : {1, 0}) {
    SetDeviceBitmapMaker(withDevice ? nullptr : NoDeviceBitmap);
    for (int round = 0; round < 20; ++round) {
      if (round == 1) freePlaces = FreeGdiPlaces();
      BmpImage image = Fresh(), mask = Fresh();
      ASSERT_EQ(1, ReadAtPageEnd(file, &image));
      ASSERT_EQ(1, ReadAtPageEnd(MaskFile(50, 40, ring), &mask));
      for (int layout : {0, 1, 2}) {
        Canvas c(130, 90, kUntouched);
        c.Draw(&image, layout);
        c.Draw(&image, layout);  // the second paint reuses what the first made
        GdiFlush();
        if (round == 0) painted[withDevice].insert(painted[withDevice].end(), c.bits, c.bits + 130 * 90);
        HRGN region = UserMaskRegion(&mask, nullptr, kMaskEdge, {130, 90, layout, kAnyCount});
        round == 0 ? masks[withDevice].push_back(region) : (void)DeleteObject(region);
      }
      FreeBmpImage(&image), FreeBmpImage(&mask);
    }
    EXPECT_EQ(freePlaces, FreeGdiPlaces()) << "device bitmap made: " << withDevice;
  }
  SetDeviceBitmapMaker(nullptr);
  EXPECT_TRUE(painted[0] == painted[1]);
  for (size_t i = 0; i < masks[0].size(); ++i) EXPECT_TRUE(SameRegion(masks[0][i], masks[1][i])) << i;
}

// A tile of a few pixels is repeated into a larger one first; the screen
// shows the same pixels, and the mask is laid the same, as with plain tiling.
TEST(Picture, SmallTilesPaintAndMaskAsOneContinuousPicture) {
  const std::pair<int, int> tiles[] = {{1, 1}, {2, 3}, {7, 7}, {8, 8}, {33, 5}, {64, 64}, {127, 1}, {1, 200}};
  for (auto [w, h] : tiles) {
    SCOPED_TRACE(testing::Message() << w << " x " << h);
    BmpImage image = Fresh(), mask = Fresh();
    ASSERT_EQ(1, ReadAtPageEnd(Pic(w, h, 24), &image));
    Canvas c(300, 200, kUntouched);
    HRGN clip = CreateRectRgn(10, 20, 290, 190);
    SelectClipRgn(c.dc, clip);
    c.Draw(&image, 2);
    int wrong = 0;
    GdiFlush();
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 300; ++x) {
        const bool inside = x >= 10 && x < 290 && y >= 20 && y < 190;
        wrong += (c.bits[y * 300 + x] & 0xFFFFFF) != (inside ? Shown(x % w, y % h, 0) : kUntouched);
      }
    EXPECT_EQ(0, wrong);
    DeleteObject(clip);
    const Grid pattern = [&](int x, int y) { return (x * 3 + y * 5) % 7 < 3 || (x == 0 && y == 0); };
    ASSERT_EQ(1, ReadAtPageEnd(MaskFile(w, h, pattern), &mask));
    ExpectLaid([&](MaskRegionKind k) { return UserMaskRegion(&mask, nullptr, k, {160, 100, 2, kAnyCount}); }, 160, 100,
               [&](int x, int y) { return y >= 0 && pattern(x % w, y % h); });
    FreeBmpImage(&image), FreeBmpImage(&mask);
  }
}

// Mutated files, each read right before a page without access, then painted
// in the three layouts and laid as a mask: none crashes, reads outside its
// bytes or makes the process's memory swell past 256 MB. The slowest file's
// time is printed; tools/fuzz.sh, a longer run (NIVALO_FUZZ_FILES), holds it
// to a second.
TEST(Fuzz, MutatedFilesStayWithinTheirBytesAndMemory) {
  const char* asked = getenv("NIVALO_FUZZ_FILES");
  const int files = asked ? atoi(asked) : 1500;
  std::vector<Bytes> seeds = {Pic(9, 7, 1), Pic(9, 7, 4), Pic(9, 7, 8), Pic(9, 7, 24), Pic(5, -4, 8),
                              Rle8(16, 8, {3, 1, 0, 0, 0, 3, 1, 2, 3, 0, 0, 2, 2, 1, 4, 5, 0, 1})};
  for (const char* name : {"g/rgb16-565", "g/rgb32bf", "g/pal4rle", "g/pal8v5", "q/pal8os2v2"})
    seeds.push_back(ReadAll(NIVALO_BMPSUITE_DIR "/" + std::string(name) + ".bmp"));
  std::mt19937 random(20001);
  const uint32_t extremes[] = {0, 1, 2, 3, 4, 8, 16, 24, 32, 255, 256, 4096, 65535, 65536, 0x7FFFFFFF,
                               0x80000000, 0xFFFFFFFF};
  PROCESS_MEMORY_COUNTERS start{};
  GetProcessMemoryInfo(GetCurrentProcess(), &start, sizeof start);
  DWORD slowest = 0;  // ms
  int loaded = 0;
  for (int n = 0; n < files; ++n) {
    Bytes f = seeds[random() % seeds.size()];
    for (int m = 1 + random() % 4; m > 0 && !f.empty(); --m) {
      const size_t at = random() % f.size();
      switch (random() % 5) {
        case 0: f[at] ^= 1 << random() % 8; break;
        case 1: if (at + 4 <= f.size()) f = Patch(f, at, extremes[random() % std::size(extremes)]); break;
        case 2: if (f.size() >= 54) f = Patch(f, 14 + random() % 40 / 2 * 2, extremes[random() % std::size(extremes)], 2); break;
        case 3: f.resize(at); break;
        default: {
          const Bytes piece(f.begin(), f.begin() + std::min(f.size() - at, size_t(64)));
          f.insert(f.begin() + at, piece.begin(), piece.end());
        }
      }
    }
    const DWORD t0 = GetTickCount();
    BmpImage image = Fresh();
    if (ReadAtPageEnd(f, &image)) {
      ++loaded;
      Canvas c(192, 108, kUntouched);
      for (int layout : {0, 1, 2}) c.Draw(&image, layout);
      DeleteObject(UserMaskRegion(&image, nullptr, kMaskEdge, {192, 108, n % 3, 20000}));
      DeleteObject(UserMaskRegion(&image, nullptr, kMaskBody, {192, 108, n % 3, 20000}));
    }
    FreeBmpImage(&image);
    slowest = std::max(slowest, GetTickCount() - t0);
  }
  PROCESS_MEMORY_COUNTERS end{};
  GetProcessMemoryInfo(GetCurrentProcess(), &end, sizeof end);
  // The peak counts only when it was reached here, not by an earlier test.
  const size_t peak = end.PeakWorkingSetSize > start.PeakWorkingSetSize ? end.PeakWorkingSetSize : start.WorkingSetSize;
  const double swell = (peak - start.WorkingSetSize) / 1048576.0;
  printf("%d mutated files, %d loaded; slowest %lu ms; peak working set %.1f MB above the start\n", files,
         loaded, slowest, swell);
  EXPECT_LT(swell, 256.0);
  EXPECT_GT(loaded, files / 10) << "the mutations should leave many files readable";
}

}  // namespace
