// A desktop that the window-list and screen-copy seams show instead of the
// system's: windows of plain colours on a plain wallpaper.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "system/screen_capture.h"
#include "system/window_list.h"

constexpr uint32_t kWallpaper = 0x206090;

struct ShownWindow {
  RECT rect;        // in screen coordinates
  uint32_t colour;  // 0xRRGGBB
};

// What the seams show: the windows front to back, and what the copy of
// the screen holds; what was asked of them.
enum class ShownCopy { kDesktop, kOneColour, kNone };
inline std::vector<ShownWindow> shownWindows;
inline ShownCopy shownCopy = ShownCopy::kDesktop;
inline std::vector<RECT> copiedAreas;
inline HWND leftOut = nullptr;

inline std::vector<RECT> ListShownWindows(HWND leaveOut) {
  leftOut = leaveOut;
  std::vector<RECT> rects;
  for (const ShownWindow& w : shownWindows) rects.push_back(w.rect);
  return rects;
}

inline HBITMAP CopyShownScreen(const RECT& area) {
  copiedAreas.push_back(area);
  if (shownCopy == ShownCopy::kNone) return nullptr;
  HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right - area.left, area.bottom - area.top);
  HGDIOBJ start = SelectObject(dc, bitmap);
  auto fill = [dc, &area](RECT r, uint32_t colour) {
    OffsetRect(&r, -area.left, -area.top);
    HBRUSH brush = CreateSolidBrush(RGB(colour >> 16, colour >> 8 & 0xFF, colour & 0xFF));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  };
  fill(area, kWallpaper);
  for (auto w = shownWindows.rbegin(); shownCopy == ShownCopy::kDesktop && w != shownWindows.rend(); ++w) {
    fill(w->rect, w->colour);
  }
  SelectObject(dc, start), DeleteDC(dc), ReleaseDC(nullptr, screen);
  return bitmap;
}

// The seams show the desktop from now on; and the system's again.
inline void ShowDesktopThroughSeams() {
  copiedAreas.clear();
  leftOut = nullptr;
  SetWindowLister(ListShownWindows);
  SetScreenCapturer(CopyShownScreen);
}
inline void ShowSystemsDesktop() {
  SetWindowLister(nullptr);
  SetScreenCapturer(nullptr);
}
