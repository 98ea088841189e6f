#include "program/saver_launch.h"

#include "images/desktop.h"
#include "saver/password.h"
#include "program/saver_window.h"
#include "settings/settings.h"
#include "system/process_state.h"

const char kSaverClassName[] = "WindowsScreenSaverClass";
const char kFullScreenTitle[] = "Screen Saver";
const char kPreviewTitle[] = "Preview";

namespace {

constexpr int kWindowNotCreated = -1;
constexpr int kMessageLoopFailed = -1;

// A full-screen saver that already runs is only brought to the front.
bool BringRunningSaverForward() {
  HWND running = FindWindowA(kSaverClassName, kFullScreenTitle);
  if (!running || !IsWindow(running)) return false;
  SetForegroundWindow(running);
  return true;
}

// The screen's clip box: where a full-screen window goes.
RECT ScreenRect() {
  HDC screen = GetDC(nullptr);
  RECT clip{};
  GetClipBox(screen, &clip);
  ReleaseDC(nullptr, screen);
  return clip;
}

// Runs until the quit message, whose code it returns. A failed GetMessageA
// (-1) ends the loop too: msg then holds nothing to read.
int RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return got == 0 ? static_cast<int>(msg.wParam) : kMessageLoopFailed;
}

}  // namespace

HWND CreateSaverWindow(HWND parent) {
  const HINSTANCE instance = Process().instance;
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  wc.lpfnWndProc = SaverWindowProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kSaverClassName;

  if (parent) EnterPreviewMode();
  RegisterAutoPlayMessage();
  if (!RegisterClassA(&wc)) return nullptr;
  if (parent) {
    RECT client;
    GetClientRect(parent, &client);
    return CreateWindowExA(0, kSaverClassName, kPreviewTitle,
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, client.right,
                           client.bottom, parent, nullptr, instance, nullptr);
  }
  // The desktop is taken while nothing of the saver covers it yet.
  LoadSettings();
  if (Settings().SnowOnDesktop == 1) TakeDesktop(DesktopArea(), nullptr);
  const RECT screen = ScreenRect();
  return CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, kFullScreenTitle,
                         WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, screen.left,
                         screen.top, screen.right - screen.left, screen.bottom - screen.top,
                         nullptr, nullptr, instance, nullptr);
}

void UnregisterSaverClass() { UnregisterClassA(kSaverClassName, Process().instance); }

int RunSaverWindow(HWND parent) {
  EnterUnattendedMode();
  if (!parent) {
    if (BringRunningSaverForward()) return 0;
    LoadPasswordVerifier();
  }
  int code = kWindowNotCreated;
  if (HWND saver = CreateSaverWindow(parent)) {
    if (!parent) SetForegroundWindow(saver);
    code = RunMessageLoop();
  }
  // Harmless when the process ends anyway; lets one process run the mode
  // more than once.
  UnregisterSaverClass();
  UnloadPasswordVerifier();
  return code;
}
