// Snow on the desktop: what the copy of the screen and the list of 30
// windows add to the saver's start, what a frame of 500 flakes over the
// desktop costs against one over a picture, and the memory that the copy
// of three 4K monitors takes, side by side and corner to corner (the one
// beyond the bound is not taken). Start-ups and frames of the two cases take
// turns, round by round, so that a busy moment of the machine falls on
// both; medians.
//
//   bench_desktop WxH [rounds]   runs only for 1920x1080
//   bench_desktop store          stores snow on the desktop with 500 flakes
//                                and no mask, the rest the defaults, for a
//                                run of the saver
//   bench_desktop arrange CLASS X Y W H ...
//                                waits for a window of each class (up to
//                                20 s) and puts it there (W H 0 0: as large
//                                as it is)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "images/desktop.h"
#include "snow/ledges.h"
#include "system/optional_calls.h"
#include "system/screen_capture.h"

namespace {

constexpr int kWindows = 30;
constexpr int kFrames = 300;
constexpr int kFrameRounds = 9;

LRESULT CALLBACK Plain(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

// Thirty overlapping windows of different colours over the screen.
std::vector<HWND> OpenWindows() {
  std::vector<HWND> windows;
  for (int i = 0; i < kWindows; ++i) {
    const std::string name = "NivaloBenchWindow" + std::to_string(i);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Plain;
    wc.hbrBackground = CreateSolidBrush(RGB(40 + i * 7, 200 - i * 5, 90 + (i * 37) % 160));
    wc.lpszClassName = name.c_str();
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, name.c_str(), "", WS_POPUP | WS_VISIBLE, (i * 173) % 1500,
                             40 + (i * 97) % 760, 300 + (i * 29) % 200, 180 + (i * 41) % 150, nullptr,
                             nullptr, nullptr, nullptr);
    UpdateWindow(w);
    windows.push_back(w);
  }
  return windows;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_TIMER) DispatchMessageA(&msg);
  }
}

void StoreCase(bool desktop, const std::string& picture) {
  StoreSettings([&](SettingsRecord& s) {
    s.SnowOnDesktop = desktop ? 1 : 0;
    s.FlakeCount = 500;
    s.WindOn = 0;
    lstrcpyA(s.PicturePath, picture.c_str());
  });
}

size_t ledgesFound = 0;

// From no window to the scene built and its background painted.
double StartUp() {
  const double t0 = NowMs();
  HWND saver = StartBenchSaver();
  UpdateWindow(saver);
  GdiFlush();
  const double spent = NowMs() - t0;
  ledgesFound = Ledges().size();
  Pump();
  StopBenchSaver(saver);
  return spent;
}

// The frame ticks of a scene from its start.
std::vector<double> Frames(int frames) {
  HWND saver = StartBenchSaver();
  UpdateWindow(saver);
  Pump();
  std::vector<double> times;
  for (int i = 0; i < frames; ++i) {
    const double t0 = NowMs();
    SendMessageA(saver, WM_TIMER, 1, 0);
    GdiFlush();
    times.push_back(NowMs() - t0);
    Pump();
  }
  StopBenchSaver(saver);
  return times;
}

// The process's committed memory.
double CommittedMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage / 1048576.0;
}

std::vector<RECT> listed;
std::vector<RECT> Listed() { return listed; }

// A copy as large as the monitors listed, of which this one screen fills
// its part: the system copies every monitor, here there is one.
HBITMAP CopyOfTheOneScreen(const RECT& area) {
  HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right - area.left, area.bottom - area.top);
  if (bitmap) {
    const HGDIOBJ start = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), screen, 0, 0, SRCCOPY);
    SelectObject(dc, start);
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

void Memory() {
  const RECT k4{0, 0, 3840, 2160};
  const struct {
    const char* name;
    std::vector<RECT> monitors;
  } layouts[] = {
      {"three 4K monitors side by side", {k4, {3840, 0, 7680, 2160}, {7680, 0, 11520, 2160}}},
      {"three 4K monitors corner to corner", {k4, {3840, 2160, 7680, 4320}, {7680, 4320, 11520, 6480}}},
  };
  SetMonitorLister(Listed);
  SetScreenCapturer(CopyOfTheOneScreen);
  for (const auto& layout : layouts) {
    listed = layout.monitors;
    RECT span{};
    for (const RECT& m : listed) UnionRect(&span, &span, &m);
    const double before = CommittedMb();
    const bool taken = TakeDesktop(DesktopArea(), nullptr);
    const double held = CommittedMb() - before;
    ForgetDesktop();
    printf("%s: a copy of %ld x %ld would take %.0f MB (bound %.0f MB): %s; memory committed while "
           "held %+.0f MB\n", layout.name, span.right - span.left, span.bottom - span.top,
           DesktopBytes(span) / 1048576.0, kDesktopMaxBytes / 1048576.0,
           taken ? "taken" : "not taken, the usual background instead", held);
  }
  SetMonitorLister(nullptr);
  SetScreenCapturer(nullptr);
}

// Windows of other programs, each put where the arguments say: a class,
// then x, y, width and height (0 0 keeps its size).
int Arrange(int count, char** args) {
  for (int i = 0; i + 5 <= count; i += 5) {
    const int x = atoi(args[i + 1]), y = atoi(args[i + 2]), w = atoi(args[i + 3]), h = atoi(args[i + 4]);
    HWND window = nullptr;
    for (int tries = 0; tries < 200 && !(window = FindWindowA(args[i], nullptr)); ++tries) Sleep(100);
    if (!window) {
      printf("no window of class %s\n", args[i]);
      return 1;
    }
    SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | (w > 0 ? 0 : SWP_NOSIZE));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "store") == 0) {
    StoreSettings([](SettingsRecord& s) { s.SnowOnDesktop = 1, s.FlakeCount = 500, s.MaskPath[0] = 0; });
    return 0;
  }
  if (argc >= 2 && strcmp(argv[1], "arrange") == 0) return Arrange(argc - 2, argv + 2);
  if (argc < 2 || strcmp(argv[1], "1920x1080") != 0) {
    printf("bench_desktop: measured at 1920x1080 only; skipped\n");
    return 0;
  }
  const int rounds = argc >= 3 ? atoi(argv[2]) : 9;
  const std::vector<HWND> windows = OpenWindows();
  Pump();
  const std::string picture = WriteTempBmp(Picture24(1920, 1080), "nivalo-bench-desktop.bmp");

  std::vector<double> plain, desktop;
  for (int i = 0; i < rounds; ++i) {
    StoreCase(false, "");
    plain.push_back(StartUp());
    StoreCase(true, "");
    desktop.push_back(StartUp());
  }
  const double p = Percentile(plain, 0.5), d = Percentile(desktop, 0.5);
  printf("start-up to the first painted frame, %d windows on the screen (medians of %d): "
         "grey %.1f ms, the desktop %.1f ms: %+.1f ms, with %zu ledges\n",
         kWindows, rounds, p, d, d - p, ledgesFound);

  // Each round's two scenes run one after the other; the ratio of their
  // medians is taken round by round, so that a slow spell of the machine
  // weighs on both sides of one ratio.
  std::vector<double> overPicture, overDesktop, ratios;
  for (int i = 0; i < kFrameRounds; ++i) {
    StoreCase(false, picture);
    const std::vector<double> a = Frames(kFrames);
    StoreCase(true, picture);
    const std::vector<double> b = Frames(kFrames);
    overPicture.insert(overPicture.end(), a.begin(), a.end());
    overDesktop.insert(overDesktop.end(), b.begin(), b.end());
    ratios.push_back(Percentile(b, 0.5) / Percentile(a, 0.5));
  }
  printf("frame tick at 500 flakes with the sleigh and the trees (medians of %zu frames): over a "
         "picture %.3f ms, over the desktop %.3f ms; the ratio of the two, round by round, median "
         "%.2f (of %d rounds, %.2f to %.2f)\n",
         overPicture.size(), Percentile(overPicture, 0.5), Percentile(overDesktop, 0.5),
         Percentile(ratios, 0.5), kFrameRounds, Percentile(ratios, 0), Percentile(ratios, 1));
  Memory();
  for (HWND w : windows) DestroyWindow(w);
  DeleteFileA(picture.c_str());
  return 0;
}
