// Cost of a picture or mask file from load to screen, each case in a process
// of its own: as a mask, reading it and building its two mask regions; as a
// picture, reading it and painting it once over a full-screen window. For
// tiled pictures from 1 x 1 to 64 x 64, a 6000 x 4000 photograph, and files
// whose headers claim far more than they hold. Prints medians of 3 rounds
// and each process's peak working set.
//
//   bench_pictures WxH     the screen must be that size (benchmark.sh sees to it)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "images/mask_region.h"
#include "images/picture.h"
#include "system/message_box.h"

namespace {

// An RLE8 file claiming w x h with a few bytes of data.
Bytes RleClaim(int w, int h) {
  Bytes f(62 + 44, 0);
  Put(f, 0, 'B' | 'M' << 8, 2), Put(f, 2, f.size()), Put(f, 10, 62), Put(f, 14, 40);
  Put(f, 18, w), Put(f, 22, h), Put(f, 26, 1 | 8 << 16), Put(f, 30, BI_RLE8), Put(f, 46, 2);
  return f;
}

int NoBox(HWND, const char*, const char*, UINT) { return IDOK; }

double PeakMegabytes() {
  PROCESS_MEMORY_COUNTERS m{};
  GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
  return m.PeakWorkingSetSize / 1048576.0;
}

struct Case {
  const char* name;
  int layout;
  Bytes (*file)();
};
const Case kCases[] = {
    {"1 x 1 tile", 2, [] { return Picture24(1, 1); }},
    {"2 x 2 tile", 2, [] { return Picture24(2, 2); }},
    {"7 x 7 tile", 2, [] { return Picture24(7, 7); }},
    {"8 x 8 tile", 2, [] { return Picture24(8, 8); }},
    {"16 x 16 tile", 2, [] { return Picture24(16, 16); }},
    {"32 x 32 tile", 2, [] { return Picture24(32, 32); }},
    {"64 x 64 tile", 2, [] { return Picture24(64, 64); }},
    {"6000 x 4000 photograph, stretched", 0, [] { return Picture24(6000, 4000); }},
    {"6000 x 4000 photograph, centred", 1, [] { return Picture24(6000, 4000); }},
    {"6144 x 4096, the most pixels taken", 0, [] { return Picture24(6144, 4096); }},
    {"RLE claiming 4096 x 65535", 0, [] { return RleClaim(4096, 65535); }},
    {"RLE claiming 32768 x 4096", 0, [] { return RleClaim(32768, 4096); }},
};

// One case in this process: as a mask (asPicture 0) or as a picture.
void Measure(const Case& c, bool asPicture, int W, int H) {
  StoreSettings([&c](SettingsRecord& s) { s.PictureLayout = c.layout; });
  const std::string path = WriteTempBmp(c.file(), "nivalo-bench.bmp");
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, W, H,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(window);
  std::vector<double> load, work;
  int loaded = 0;
  for (int round = 0; round < 3; ++round) {
    BmpImage image{};
    ClearBmpInfo(&image);
    double t0 = NowMs();
    loaded = LoadBmpImage(path.c_str(), 0, &image);
    load.push_back(NowMs() - t0);
    t0 = NowMs();
    if (loaded && asPicture) {
      HDC dc = GetDC(window);
      DrawPicture(window, dc, &image, W, H, c.layout);
      GdiFlush();
      ReleaseDC(window, dc);
    } else if (loaded) {
      const MaskLayout laid{W, H, c.layout, Settings().MaskMaxRects};
      DeleteObject(UserMaskRegion(&image, window, kMaskEdge, laid));
      DeleteObject(UserMaskRegion(&image, window, kMaskBody, laid));
    }
    work.push_back(NowMs() - t0);
    FreeBmpImage(&image);
  }
  if (!loaded) {
    printf("  %-34s refused in %.1f ms; peak %.0f MB\n", c.name, Percentile(load, 0.5), PeakMegabytes());
  } else {
    printf("  %-34s %s: load %6.1f ms, %s %7.1f ms; peak %4.0f MB\n", c.name,
           asPicture ? "picture" : "mask   ", Percentile(load, 0.5),
           asPicture ? "paint       " : "mask regions", Percentile(work, 0.5), PeakMegabytes());
  }
  DestroyWindow(window);
  DeleteFileA(path.c_str());
}

// Runs this program again for one case and use, and waits for it.
void RunCase(size_t index, bool asPicture, int W, int H) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string line = "\"" + std::string(self) + "\" " + std::to_string(W) + "x" + std::to_string(H) +
                     " " + std::to_string(index) + " " + (asPicture ? "picture" : "mask");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return;
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace

int main(int argc, char** argv) {
  int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
  if (argc > 1) sscanf(argv[1], "%dx%d", &W, &H);
  SetMessageBoxStandIn(NoBox);
  if (argc > 3) {
    Measure(kCases[atoi(argv[2]) % std::size(kCases)], strcmp(argv[3], "picture") == 0, W, H);
    return 0;
  }
  printf("pictures on %dx%d, medians of 3, each in a process of its own (tiled unless said):\n", W, H);
  fflush(stdout);
  for (size_t i = 0; i < std::size(kCases); ++i) {
    RunCase(i, false, W, H);
    RunCase(i, true, W, H);
  }
  return 0;
}
