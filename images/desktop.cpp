#include "images/desktop.h"

#include "settings/settings.h"
#include "system/optional_calls.h"
#include "system/screen_capture.h"
#include "system/window_list.h"

namespace {

HDC pictureDC = nullptr;  // holds the picture for as long as it is kept
HBITMAP picture = nullptr;
HGDIOBJ pictureDCStart = nullptr;
std::vector<RECT> windows;

constexpr int kRowsPerBand = 64;

// Whether every pixel of the bitmap has the colour of the first, read a
// band of rows at a time; a desktop that shows anything differs early.
bool OneColour(HBITMAP bitmap, int w, int h) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> band(static_cast<size_t>(w) * kRowsPerBand);
  HDC screen = GetDC(nullptr);
  bool same = true;
  uint32_t first = 0;
  for (int row = 0; row < h && same; row += kRowsPerBand) {
    const int rows = h - row < kRowsPerBand ? h - row : kRowsPerBand;
    if (GetDIBits(screen, bitmap, row, rows, band.data(), &info, DIB_RGB_COLORS) != rows) {
      same = true;  // unreadable counts as nothing to show
      break;
    }
    if (row == 0) first = band[0] & 0xFFFFFF;
    for (size_t i = 0; i < static_cast<size_t>(w) * rows && same; ++i) same = (band[i] & 0xFFFFFF) == first;
  }
  ReleaseDC(nullptr, screen);
  return same;
}

}  // namespace

RECT DesktopArea() {
  const std::vector<RECT> monitors = DisplayMonitors();
  if (monitors.empty()) return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT span = monitors.front();
  for (const RECT& m : monitors) UnionRect(&span, &span, &m);
  return span;
}

uint64_t DesktopBytes(const RECT& area) {
  return 4ull * static_cast<uint64_t>(area.right - area.left) *
         static_cast<uint64_t>(area.bottom - area.top);
}

bool TakeDesktop(const RECT& area, HWND leaveOut) {
  ForgetDesktop();
  if (!OnUsersDesktop()) return false;
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0 || DesktopBytes(area) > kDesktopMaxBytes) return false;
  HBITMAP taken = CaptureScreen(area);
  if (!taken) return false;
  if (OneColour(taken, w, h)) {
    DeleteObject(taken);
    return false;
  }
  picture = taken;
  pictureDC = CreateCompatibleDC(nullptr);
  pictureDCStart = SelectObject(pictureDC, picture);
  windows = DesktopWindowRects(leaveOut);
  for (RECT& r : windows) OffsetRect(&r, -area.left, -area.top);
  return true;
}

bool DesktopTaken() { return picture != nullptr; }

bool DesktopShown() { return picture && Settings().SnowOnDesktop == 1; }

const std::vector<RECT>& DesktopWindows() { return windows; }

void DrawDesktop(HDC dc, const RECT& r) {
  if (!picture) return;
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, pictureDC, r.left, r.top, SRCCOPY);
}

void ForgetDesktop() {
  if (pictureDC) {
    SelectObject(pictureDC, pictureDCStart);
    DeleteDC(pictureDC);
  }
  if (picture) DeleteObject(picture);
  pictureDC = nullptr;
  picture = nullptr;
  pictureDCStart = nullptr;
  windows.clear();
}
