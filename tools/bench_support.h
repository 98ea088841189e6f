// What the benchmark programs share: the clock, the saver's stored settings,
// a real saver window, and the median of a set of times.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "settings/settings.h"
#include "program/saver_launch.h"
#include "system/process_state.h"

// Milliseconds from the performance counter.
inline double NowMs() {
  LARGE_INTEGER frequency, t;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Stores the defaults, changed by edit, for the next scene or saver run.
inline bool StoreSettings(const std::function<void(SettingsRecord&)>& edit) {
  ResetSettings();
  SettingsRecord r = Settings();
  edit(r);
  ReplaceSettings(r);
  return SaveSettings() != 0;
}

// A full-screen saver window as /s makes it, its scene built.
inline HWND StartBenchSaver() {
  InitProcessState(GetModuleHandleA(nullptr));
  return CreateSaverWindow(nullptr);
}

inline void StopBenchSaver(HWND saver) {
  DestroyWindow(saver);
  UnregisterSaverClass();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

inline double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5)];
}
