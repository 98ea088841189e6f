// How fast the settings dialog answers a click while its live preview runs
// the real scene behind it: the dialog is opened as the system opens it,
// Preview pressed, and its own message loop runs with the scene's real
// timers, while a second thread clicks a switch picture every 37 ms (out of
// step with the frames) and times each click until the dialog has handled
// it. Prints the median, 95th percentile and largest answer beside the frame
// period and the median frame tick, for 50 and 500 flakes.
//
//   bench_live_preview WxH [seconds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_support.h"
#include "dialogs/live_preview.h"
#include "dialogs/settings_dialog.h"
#include "resources/resource.h"
#include "scene/scene.h"

namespace {

constexpr DWORD kClickEvery = 37;  // ms

struct Clicker {
  HWND dialog;
  volatile bool stop;
  std::vector<double> answers;  // ms from the click to its answer
};

DWORD WINAPI ClickAway(void* data) {
  Clicker& c = *static_cast<Clicker*>(data);
  while (!c.stop) {
    Sleep(kClickEvery);
    const double sent = NowMs();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(c.dialog, WM_COMMAND, MAKEWPARAM(IDC_SLEIGH_IN_WIND_PICTURE, STN_CLICKED), 0,
                        SMTO_NORMAL, 10000, &result);
    c.answers.push_back(NowMs() - sent);
  }
  return 0;
}

void Measure(int flakes, double seconds) {
  StartShell(GetModuleHandleA(nullptr));
  StoreSettings([flakes](SettingsRecord& s) { s.FlakeCount = flakes; });
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                                   SettingsDialogProc, 0);
  ShowWindow(dialog, SW_SHOW);
  CheckDlgButton(dialog, IDC_LIVE_PREVIEW, BST_CHECKED);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LIVE_PREVIEW, BN_CLICKED), 0);
  const HWND live = LivePreviewWindow();

  Clicker clicker{dialog, false, {}};
  HANDLE thread = CreateThread(nullptr, 0, ClickAway, &clicker, 0, nullptr);
  std::vector<double> ticks;
  const double end = NowMs() + seconds * 1000;
  MSG msg;
  while (NowMs() < end && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    const bool tick = msg.hwnd == live && msg.message == WM_TIMER && msg.wParam == kFrameTimer;
    const double start = NowMs();
    if (!IsDialogMessageA(dialog, &msg)) DispatchMessageA(&msg);
    if (tick) ticks.push_back(NowMs() - start);
  }
  clicker.stop = true;
  // The last click may wait for this thread's messages.
  while (WaitForSingleObject(thread, 0) == WAIT_TIMEOUT) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  CloseHandle(thread);
  DestroyWindow(dialog);
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  const std::vector<double>& a = clicker.answers;
  printf("%3d flakes: %zu clicks answered in median %.2f ms, p95 %.2f ms, at most %.2f ms; "
         "frame period %d ms, frame tick median %.2f ms over %zu frames\n",
         flakes, a.size(), Percentile(a, 0.5), Percentile(a, 0.95), Percentile(a, 1.0),
         Settings().FramePeriod, Percentile(ticks, 0.5), ticks.size());
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc >= 3 ? atof(argv[2]) : 10;
  printf("live preview on %s, %.0f s each:\n", argc >= 2 ? argv[1] : "this screen", seconds);
  for (int flakes : {50, 500}) Measure(flakes, seconds);
  return 0;
}
