// The scene on two monitors against one, in the same run: the monitors are
// given through the program's monitor list and drawn on a memory surface of
// their size, so that any screen serves. Prints the medians of building the
// scene and of a frame at 500 flakes with the sleigh and the trees, on one
// 1920 x 1080 monitor and on two side by side, and their ratios.
//
//   bench_monitors WxH          the benchmark; runs only for 1920x1080
//   bench_monitors shot FILE PICTURE
//                               two monitors of different heights after two
//                               minutes of snow (2400 frames, 500 flakes, a
//                               gust every 30 s) with the picture and the
//                               built-in mask centred, written to FILE as
//                               a BMP
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_support.h"
#include "scene/scene.h"
#include "surface/surface.h"
#include "system/optional_calls.h"
#include "system/timer.h"

namespace {

std::vector<RECT> monitors;
std::vector<RECT> Monitors() { return monitors; }

// A 32-bit memory DC as large as the rectangle around the monitors.
struct Canvas {
  int width = 0, height = 0;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  HGDIOBJ start = nullptr;
  void* bits = nullptr;
  Canvas() {
    RECT span{};
    for (const RECT& m : monitors) UnionRect(&span, &span, &m);
    width = span.right - span.left;
    height = span.bottom - span.top;
    BITMAPINFOHEADER bi{sizeof bi, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits,
                              nullptr, 0);
    start = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, width, height, BLACKNESS);
  }
  ~Canvas() {
    SelectObject(dc, start);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

struct Costs {
  std::vector<double> builds, ticks;
};

// One round of frames on the layout, with the wind steady, added to its
// costs. The layouts take turns round by round, so that a busy moment of the
// machine falls on both.
void MeasureRound(const std::vector<RECT>& layout, int frames, Costs& costs) {
  monitors = layout;
  SetMonitorLister(Monitors);
  StoreSettings([](SettingsRecord& s) { s.FlakeCount = 500; });
  Canvas canvas;
  DrawOnMemorySurface(canvas.dc);
  const double t0 = NowMs();
  HWND saver = StartBenchSaver();
  costs.builds.push_back(NowMs() - t0);
  PaintBackground(canvas.dc, RECT{0, 0, canvas.width, canvas.height});
  for (int i = 0; i < frames; ++i) {
    const double t1 = NowMs();
    SendMessageA(saver, WM_TIMER, kFrameTimer, 0);
    GdiFlush();
    costs.ticks.push_back(NowMs() - t1);
  }
  StopBenchSaver(saver);
  DrawOnMemorySurface(nullptr);
  SetMonitorLister(nullptr);
}

// Two minutes of snow on two monitors, the primary on the left and taller.
void Shot(const char* file, const char* picture) {
  monitors = {RECT{0, 0, 1280, 720}, RECT{1280, 0, 2304, 576}};
  SetMonitorLister(Monitors);
  StoreSettings([picture](SettingsRecord& s) {
    s.FlakeCount = 500;
    s.PictureLayout = 1;
    lstrcpynA(s.PicturePath, picture, sizeof s.PicturePath);
  });
  Canvas canvas;
  DrawOnMemorySurface(canvas.dc);
  HWND saver = StartBenchSaver();
  PaintBackground(canvas.dc, RECT{0, 0, canvas.width, canvas.height});
  for (int i = 0; i < 2400; ++i) {
    SendMessageA(saver, WM_TIMER, kFrameTimer, 0);
    // A gust every 30 s, as the wind's timers would bring it: 6 s rising a
    // step every 100 ms, 4 s falling.
    const int t = i % 600;
    if (t == 0) SendMessageA(saver, WM_TIMER, kCalmTimer, 0);
    if (t < 120 && t % 2 == 1) SendMessageA(saver, WM_TIMER, kRiseStepTimer, 0);
    if (t == 119) SendMessageA(saver, WM_TIMER, kRiseEndTimer, 0);
    if (t >= 120 && t < 200 && t % 2 == 1) SendMessageA(saver, WM_TIMER, kFallStepTimer, 0);
    if (t == 199) SendMessageA(saver, WM_TIMER, kFallEndTimer, 0);
  }
  GdiFlush();
  BITMAPFILEHEADER header{};
  BITMAPINFOHEADER info{sizeof info, canvas.width, -canvas.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD size = static_cast<DWORD>(canvas.width) * canvas.height * 4;
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + size;
  if (FILE* out = fopen(file, "wb")) {
    fwrite(&header, sizeof header, 1, out);
    fwrite(&info, sizeof info, 1, out);
    fwrite(canvas.bits, size, 1, out);
    fclose(out);
  }
  StopBenchSaver(saver);
  DrawOnMemorySurface(nullptr);
  SetMonitorLister(nullptr);
  printf("bench_monitors: two monitors after 2400 frames written to %s\n", file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && strcmp(argv[1], "shot") == 0) {
    Shot(argv[2], argv[3]);
    return 0;
  }
  if (argc < 2 || strcmp(argv[1], "1920x1080") != 0) {
    printf("bench_monitors: measured at 1920x1080 only; skipped\n");
    return 0;
  }
  const int frames = argc >= 3 ? atoi(argv[2]) : 2000;
  constexpr int kRounds = 5;
  Costs one, two;
  for (int round = 0; round < kRounds; ++round) {
    MeasureRound({RECT{0, 0, 1920, 1080}}, frames / kRounds, one);
    MeasureRound({RECT{0, 0, 1920, 1080}, RECT{1920, 0, 3840, 1080}}, frames / kRounds, two);
  }
  const double build1 = Percentile(one.builds, 0.5), build2 = Percentile(two.builds, 0.5);
  const double tick1 = Percentile(one.ticks, 0.5), tick2 = Percentile(two.ticks, 0.5);
  printf("monitors, 500 flakes with the sleigh and the trees (medians, %d frames each, in %d "
         "rounds taking turns):\n", frames, kRounds);
  printf("  scene built: one 1920x1080 monitor %.1f ms, two %.1f ms: ratio %.2f\n", build1, build2,
         build2 / build1);
  printf("  frame tick:  one monitor %.3f ms, two %.3f ms: ratio %.2f\n", tick1, tick2,
         tick2 / tick1);
  return 0;
}
