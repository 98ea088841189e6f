// Frame cost of the real scene: builds a saver window as /s does, drives the
// frame tick and the wind timers directly and prints the median and 95th
// percentile milliseconds per frame for 50 and for 500 flakes, and how long
// building the scene took.
//
//   bench_frames WxH            the benchmark; runs only for 1920x1080
//   bench_frames leak FRAMES [FLAKES]
//                               a long run with gusts, printing the highest
//                               GDI handle index seen at the start and end
//   bench_frames store-flakes N stores the defaults with N flakes, for a run
//                               of the real saver
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_support.h"

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
    send(2);
  } else if (t >= kCalmFrames && t < kCalmFrames + kRiseFrames) {
    if ((t - kCalmFrames) % 2 == 1) send(5);
    if (t == kCalmFrames + kRiseFrames - 1) send(3);
  } else if (t >= kCalmFrames + kRiseFrames) {
    if ((t - kCalmFrames - kRiseFrames) % 2 == 1) send(6);
    if (t == kCycle - 1) send(4);
  }
}

void StoreFlakeCount(int count) {
  StoreSettings([count](SettingsRecord& s) { s.FlakeCount = count; });
}

int HighestHandleIndex() {
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  const int index = static_cast<int>(reinterpret_cast<UINT_PTR>(probe) & 0xFFFF);
  DeleteObject(probe);
  return index;
}

void RunBenchmark(int flakes, int frames) {
  StoreFlakeCount(flakes);
  const double start = NowMs();
  HWND saver = StartBenchSaver();
  const double created = NowMs() - start;
  UpdateWindow(saver);
  PumpNonTimerMessages();
  std::vector<double> times, pushes;
  times.reserve(frames);
  pushes.reserve(frames);
  for (int i = 0; i < frames; ++i) {
    DriveWind(saver, i);
    const double t0 = NowMs();
    SendMessageA(saver, WM_TIMER, 1, 0);
    const double t1 = NowMs();
    PumpNonTimerMessages();
    times.push_back(t1 - t0);
    pushes.push_back(NowMs() - t1);
  }
  printf("%3d flakes: frame tick median %.3f ms, p95 %.3f ms over %d frames (%d gusts); "
         "then Wine's push to the X server median %.3f ms, p95 %.3f ms; scene built in %.1f ms\n",
         flakes, Percentile(times, 0.5), Percentile(times, 0.95), frames, frames / kCycle,
         Percentile(pushes, 0.5), Percentile(pushes, 0.95), created);
  fflush(stdout);
  StopBenchSaver(saver);
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
    SendMessageA(saver, WM_TIMER, 1, 0);
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
    StoreFlakeCount(atoi(argv[2]));
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
  RunBenchmark(50, frames);
  RunBenchmark(500, frames);
  return 0;
}
