// What the benchmark programs share: the clock, the saver's stored settings,
// a real saver window, and the median of a set of times.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
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

using Bytes = std::vector<uint8_t>;

inline void Put(Bytes& f, size_t at, uint32_t v, int n = 4) {
  for (int i = 0; i < n; ++i) f[at + i] = static_cast<uint8_t>(v >> 8 * i);
}

// A plain 24-bit picture of w x h with a pattern that changes at every pixel.
inline Bytes Picture24(int w, int h) {
  const size_t stride = (3 * static_cast<size_t>(w) + 3) / 4 * 4;
  Bytes f(54 + stride * h);
  Put(f, 0, 'B' | 'M' << 8, 2), Put(f, 2, f.size()), Put(f, 10, 54), Put(f, 14, 40);
  Put(f, 18, w), Put(f, 22, h), Put(f, 26, 1 | 24 << 16);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Put(f, 54 + y * stride + 3 * x, (x * 7u + y * 13u) * 0x010307u, 3);
  return f;
}

// Writes the bytes into a file of that name in the temporary folder; its
// path.
inline std::string WriteTempBmp(const Bytes& bytes, const char* name) {
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  lstrcatA(path, name);
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}
