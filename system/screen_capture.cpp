#include "system/screen_capture.h"

#include <cstring>

#include "system/optional_calls.h"
#include "system/process_state.h"

namespace {

HBITMAP SystemCapture(const RECT& area) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC copy = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  bool copied = false;
  if (copy && bitmap) {
    const HGDIOBJ start = SelectObject(copy, bitmap);
    copied = BitBlt(copy, 0, 0, w, h, screen, area.left, area.top, SRCCOPY) != FALSE;
    SelectObject(copy, start);
  }
  if (copy) DeleteDC(copy);
  ReleaseDC(nullptr, screen);
  if (!copied && bitmap) DeleteObject(bitmap);
  return copied ? bitmap : nullptr;
}

ScreenCapturer screenCapturer = SystemCapture;

}  // namespace

HBITMAP CaptureScreen(const RECT& area) { return screenCapturer(area); }

void SetScreenCapturer(ScreenCapturer capturer) {
  screenCapturer = capturer ? capturer : SystemCapture;
}

bool OnUsersDesktop() {
  using ThreadDesktopFunction = HDESK(WINAPI*)(DWORD);
  using ObjectInformationFunction = BOOL(WINAPI*)(HANDLE, int, void*, DWORD, DWORD*);
  const auto threadDesktop = LoadedSystemFunction<ThreadDesktopFunction>("user32.dll", "GetThreadDesktop");
  const auto information =
      LoadedSystemFunction<ObjectInformationFunction>("user32.dll", "GetUserObjectInformationA");
  if (!threadDesktop || !information) return true;
  const HDESK desktop = threadDesktop(GetCurrentThreadId());
  char name[64] = "";
  DWORD needed = 0;
  // Windows 95 to Me answer these calls without a desktop to name.
  if (!desktop || !information(desktop, UOI_NAME, name, sizeof name, &needed)) {
    return Process().win9xPlatform != 0;
  }
  return _stricmp(name, "Default") == 0;
}
