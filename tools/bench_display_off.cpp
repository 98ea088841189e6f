// The saver's CPU while the display is off. A full-screen saver window as /s
// makes it runs its own message loop, its frame and wind timers firing as
// the system fires them, and is told with the system's notice that the
// display went off, then that it is on again, round after round. For each
// state it prints the process's CPU time (user and kernel) as a share of one
// core over the state's wall time, the median over the rounds, and the ratio
// of the two. Wine's server and X server are not counted: while the display
// is off the saver sends them nothing.
//
//   bench_display_off WxH [rounds] [seconds]   5 rounds of 3 s in each state
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_support.h"
#include "system/optional_calls.h"
#include "tests/support/display_notice.h"

namespace {

double Milliseconds(const FILETIME& t) {
  return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
}

double ProcessCpuMs() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  return Milliseconds(kernel) + Milliseconds(user);
}

// Runs the thread's messages, timers included, for the wall time given;
// returns the share of one core that the process used meanwhile, in percent,
// and adds the CPU time to the total (Wine counts it in steps of 10 ms).
double RunMessagesFor(double ms, double* total = nullptr) {
  const double start = NowMs(), cpu = ProcessCpuMs();
  for (double now = start; now < start + ms; now = NowMs()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(start + ms - now) + 1, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  const double used = ProcessCpuMs() - cpu;
  if (total) *total += used;
  return 100.0 * used / (NowMs() - start);
}

void Measure(const char* scene, int flakes, int rounds, double seconds) {
  StoreSettings([flakes](SettingsRecord& s) { s.FlakeCount = flakes; });
  HWND saver = StartBenchSaver();
  RunMessagesFor(1000);  // the first frames fill the flakes' and sprites' stores
  std::vector<double> on, off;
  double onTotal = 0, offTotal = 0;
  for (int r = 0; r < rounds; ++r) {
    on.push_back(RunMessagesFor(seconds * 1000, &onTotal));
    SendDisplayState(saver, kConsoleDisplayState, 0);
    off.push_back(RunMessagesFor(seconds * 1000, &offTotal));
    SendDisplayState(saver, kConsoleDisplayState, 1);
  }
  const double onMedian = Percentile(on, 0.5), offMedian = Percentile(off, 0.5);
  printf("  %-22s display on %6.2f%% of a core, off %6.3f%%; off / on %.4f (medians of %d rounds of %.0f s;"
         " CPU %.0f ms on, %.0f ms off in all)\n",
         scene, onMedian, offMedian, onMedian > 0 ? offMedian / onMedian : 0.0, rounds, seconds, onTotal,
         offTotal);
  StopBenchSaver(saver);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 2 ? atoi(argv[2]) : 5;
  const double seconds = argc > 3 ? atof(argv[3]) : 3;
  printf("the saver's own CPU with the display on and off, %s:\n", argc > 1 ? argv[1] : "");
  Measure("defaults (50 flakes)", 50, rounds, seconds);
  Measure("500 flakes", 500, rounds, seconds);
  return 0;
}
