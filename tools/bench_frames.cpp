// Frame cost of the real scene: builds a saver window as /s does, drives the
// frame tick and the wind timers directly (a WM_TIMER sent to the window, as
// its message loop would dispatch it) and prints medians per frame.
//
// First the split of a tick: the timer's dispatch alone (a WM_TIMER that is
// no timer of the scene), the fixed part (a frame with nothing to draw), and
// each drawing step alone (the sleigh, the trees, 50 and 500 flakes) with
// what it adds to the fixed part. Then the scenes that users see, 50 and 500
// flakes with the sleigh and the trees and without: the median and 95th
// percentile of a tick, and how long building the scene took. Each of their
// frames is followed by the bare pixel traffic of the same frame: one read
// and one write blit of each flake's and sprite's rectangle between the
// window and one memory DC; the tick's median is given as a ratio to that.
//
//   bench_frames WxH [frames]   the benchmark; runs only for 1920x1080
//   bench_frames leak FRAMES [FLAKES]
//                               a long run with gusts, printing the highest
//                               GDI handle index seen at the start and end
//   bench_frames store-flakes N [snow-only]
//                               stores the defaults with N flakes (and no
//                               sleigh or trees), for a run of the real saver
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_support.h"
#include "images/bitmap_rect.h"
#include "snow/flakes.h"
#include "sprites/sleigh.h"
#include "sprites/sprite_blit.h"
#include "sprites/trees.h"
#include "system/timer.h"

namespace {

// Lets Wine do what it does between frames (pushing the window's pixels to
// the X server) without running any of the timers the scene armed.
void PumpNonTimerMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_TIMER) DispatchMessageA(&msg);
  }
}

// The wind timers at the frame counts that the default periods give at 20
// frames a second, with the calm shortened to 10 s so that a few thousand
// frames see many gusts: rise 6 s with a step every 100 ms, fall 4 s.
constexpr int kCalmFrames = 200;
constexpr int kRiseFrames = 120;
constexpr int kFallFrames = 80;
constexpr int kCycle = kCalmFrames + kRiseFrames + kFallFrames;

void DriveWind(HWND saver, int frame) {
  const int t = frame % kCycle;
  auto send = [saver](UINT_PTR id) { SendMessageA(saver, WM_TIMER, id, 0); };
  if (t == kCalmFrames - 1) {
    send(kCalmTimer);
  } else if (t >= kCalmFrames && t < kCalmFrames + kRiseFrames) {
    if ((t - kCalmFrames) % 2 == 1) send(kRiseStepTimer);
    if (t == kCalmFrames + kRiseFrames - 1) send(kRiseEndTimer);
  } else if (t >= kCalmFrames + kRiseFrames) {
    if ((t - kCalmFrames - kRiseFrames) % 2 == 1) send(kFallStepTimer);
    if (t == kCycle - 1) send(kFallEndTimer);
  }
}

// What a scene draws each frame.
struct Drawn {
  int flakes;
  bool sleigh;
  bool trees;
};

void StoreScene(const Drawn& d) {
  StoreSettings([d](SettingsRecord& s) {
    s.FlakeCount = d.flakes;
    s.SleighOn = d.sleigh ? 1 : 0;
    s.SceneryOn = d.trees ? 1 : 0;
  });
}

void StoreFlakeCount(int count, bool sprites = true) { StoreScene({count, sprites, sprites}); }

// One read and one write of every rectangle that a frame of the scene
// touches: the active flakes', the sleigh's and the trees'.
double PixelTraffic(HWND saver, HDC memory) {
  std::vector<RECT> rects;
  const SettingsRecord& s = Settings();
  for (int i = 0; i < s.FlakeCount; ++i) rects.push_back(FlakeRect(FlakeAt(i)));
  if (s.SleighOn) {
    RECT r{0, 0, 0, 0};
    BitmapRect(&r, Sleigh().sleighMasks[0]);
    OffsetRect(&r, Sleigh().sleighX, Sleigh().sleighY);
    rects.push_back(r);
  }
  for (int t = 0; s.SceneryOn && t < kTrees; ++t) {
    rects.push_back(RECT{TreePlace(t).x, TreePlace(t).y, TreePlace(t).x + 31, TreePlace(t).y + 32});
  }
  HDC dc = GetDC(saver);
  const double t0 = NowMs();
  for (const RECT& r : rects) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    BitBlt(memory, r.left, r.top, w, h, dc, r.left, r.top, SRCCOPY);
    BitBlt(dc, r.left, r.top, w, h, memory, r.left, r.top, SRCCOPY);
  }
  GdiFlush();
  const double spent = NowMs() - t0;
  ReleaseDC(saver, dc);
  return spent;
}

int HighestHandleIndex() {
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  const int index = static_cast<int>(reinterpret_cast<UINT_PTR>(probe) & 0xFFFF);
  DeleteObject(probe);
  return index;
}

struct Medians {
  double tick, tick95, flush, traffic;
};

// Frames of a scene that draws what d says: the median and 95th percentile
// of a frame tick, the median of Wine's flush of the frame to the X server
// (while it waits for the next message), and that of the frame's bare pixel
// traffic (measured only with traffic).
Medians RunScene(const Drawn& d, int frames, bool traffic, UINT_PTR timer = kFrameTimer) {
  StoreScene(d);
  HWND saver = StartBenchSaver();
  UpdateWindow(saver);
  PumpNonTimerMessages();
  HDC screen = GetDC(saver);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  HGDIOBJ old = SelectObject(memory, canvas);
  ReleaseDC(saver, screen);
  std::vector<double> times, flushes, floors;
  for (int i = 0; i < frames; ++i) {
    DriveWind(saver, i);
    const double t0 = NowMs();
    SendMessageA(saver, WM_TIMER, timer, 0);
    GdiFlush();
    const double t1 = NowMs();
    times.push_back(t1 - t0);
    PumpNonTimerMessages();
    flushes.push_back(NowMs() - t1);
    if (traffic) floors.push_back(PixelTraffic(saver, memory));
    PumpNonTimerMessages();
  }
  SelectObject(memory, old);
  DeleteObject(canvas);
  DeleteDC(memory);
  StopBenchSaver(saver);
  return {Percentile(times, 0.5), Percentile(times, 0.95), Percentile(flushes, 0.5),
          traffic ? Percentile(floors, 0.5) : 0.0};
}

// Where a tick's time goes: each step alone against the fixed part.
void PrintSplit(int frames) {
  constexpr UINT_PTR kNoTimer = 99;
  const double dispatch = RunScene({0, false, false}, frames, false, kNoTimer).tick;
  const double fixed = RunScene({0, false, false}, frames, false).tick;
  printf("split of a frame tick (medians of %d frames):\n", frames);
  printf("  timer dispatch alone                %.3f ms\n", dispatch);
  printf("  fixed part per frame                %.3f ms (a frame with nothing to draw)\n", fixed);
  const struct {
    const char* name;
    Drawn drawn;
  } steps[] = {{"sleigh alone", {0, true, false}}, {"trees alone", {0, false, true}},
               {"50 flakes alone", {50, false, false}}, {"500 flakes alone", {500, false, false}}};
  for (const auto& step : steps) {
    const double tick = RunScene(step.drawn, frames, false).tick;
    printf("  %-35s %.3f ms, %.3f ms over the fixed part\n", step.name, tick, tick - fixed);
  }
  fflush(stdout);
}

void RunBenchmark(int flakes, bool sprites, int frames) {
  const double start = NowMs();
  StoreFlakeCount(flakes, sprites);
  HWND saver = StartBenchSaver();
  const double created = NowMs() - start;
  StopBenchSaver(saver);
  const Medians m = RunScene({flakes, sprites, sprites}, frames, true);
  printf("%3d flakes, %-19s frame tick median %.3f ms, p95 %.3f ms; its bare pixel traffic "
         "%.3f ms: ratio %.2f, %.3f ms over it (%d frames, %d gusts); Wine's flush to the X server "
         "median %.3f ms; scene built in %.1f ms\n", flakes,
         sprites ? "sleigh and trees:" : "snow only:", m.tick, m.tick95, m.traffic,
         m.tick / m.traffic, m.tick - m.traffic, frames, frames / kCycle, m.flush, created);
  fflush(stdout);
}

void RunLeakCheck(int frames, int flakes) {
  StoreFlakeCount(flakes);
  const int before = HighestHandleIndex();
  HWND saver = StartBenchSaver();
  int highestEarly = 0;
  int highest = 0;
  const double start = NowMs();
  for (int i = 0; i < frames; ++i) {
    DriveWind(saver, i);
    SendMessageA(saver, WM_TIMER, kFrameTimer, 0);
    if ((i & 63) == 0) PumpNonTimerMessages();
    const int index = HighestHandleIndex();
    highest = std::max(highest, index);
    if (i < 2 * kCycle) highestEarly = highest;
    if (i % 10000 == 0) {
      printf("frame %6d: highest handle index so far %d\n", i, highest);
      fflush(stdout);
    }
  }
  StopBenchSaver(saver);
  const int after = HighestHandleIndex();
  printf("leak run: %d frames, %d flakes, %d gusts, %.1f s; handle index before the scene %d, "
         "highest in the first %d frames %d, highest over the run %d, after teardown %d\n",
         frames, flakes, frames / kCycle, (NowMs() - start) / 1000.0, before, 2 * kCycle,
         highestEarly, highest, after);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && strcmp(argv[1], "store-flakes") == 0) {
    StoreFlakeCount(atoi(argv[2]), !(argc >= 4 && strcmp(argv[3], "snow-only") == 0));
    return 0;
  }
  if (argc >= 3 && strcmp(argv[1], "leak") == 0) {
    RunLeakCheck(atoi(argv[2]), argc >= 4 ? atoi(argv[3]) : 500);
    return 0;
  }
  if (argc < 2 || strcmp(argv[1], "1920x1080") != 0) {
    printf("bench_frames: measured at 1920x1080 only; skipped\n");
    return 0;
  }
  const int frames = argc >= 3 ? atoi(argv[2]) : 4000;
  PrintSplit(frames / 2);
  for (bool sprites : {true, false}) {
    RunBenchmark(50, sprites, frames);
    RunBenchmark(500, sprites, frames);
  }
  return 0;
}
