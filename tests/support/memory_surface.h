// A 32-bit memory surface as large as the rectangle around the given
// monitors, every pixel kUntouched (or the fill given) until a scene draws
// on it: the tests lay out monitors larger than any screen they have.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

#include "scene/scene.h"
#include "support/test_support.h"
#include "surface/surface.h"
#include "system/optional_calls.h"

constexpr uint32_t kUntouched = 0x010203, kGrey = 0x808080;  // what nothing paints; the background

struct MemorySurface {
  RECT span{};
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  HGDIOBJ start = nullptr;
  uint32_t* bits = nullptr;
  explicit MemorySurface(const std::vector<RECT>& monitors, uint32_t fill = kUntouched) {
    for (const RECT& m : monitors) UnionRect(&span, &span, &m);
    OffsetRect(&span, -span.left, -span.top);
    const BITMAPINFOHEADER bi{sizeof bi, span.right, -span.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&bi), DIB_RGB_COLORS,
                              reinterpret_cast<void**>(&bits), nullptr, 0);
    start = SelectObject(dc, bitmap);
    std::fill(bits, bits + span.right * span.bottom, fill);
  }
  ~MemorySurface() { SelectObject(dc, start), DeleteObject(bitmap), DeleteDC(dc); }
  uint32_t At(int x, int y) const { return GdiFlush(), bits[y * span.right + x] & 0xFFFFFF; }
  int Count(const RECT& r, uint32_t colour) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == colour;
    return n;
  }
};

// A scene started as StartSaver starts it (with a parent, as a preview) on
// the monitors listed (the primary first), drawing on surface (or, without
// one, on the window), its background painted; and its end.
inline std::vector<RECT> listedMonitors;
inline HWND StartOnMonitors(const std::vector<RECT>& monitors, const MemorySurface* surface,
                            const SettingsEdit& edit, HWND parent = nullptr) {
  listedMonitors = monitors;
  SetMonitorLister([] { return listedMonitors; });
  DrawOnMemorySurface(surface ? surface->dc : nullptr);
  ResetScene();  // the sleigh's moves as in a process of its own, whatever ran before
  HWND saver = StartSaver(edit, parent);
  if (surface) PaintBackground(surface->dc, surface->span);
  return saver;
}

inline void StopOnMonitors(HWND saver) {
  StopSaver(saver);
  DrawOnMemorySurface(nullptr);
  SetMonitorLister(nullptr);
}
