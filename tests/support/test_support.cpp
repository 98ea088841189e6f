#include "support/test_support.h"

#include "shell/command_line.h"
#include "shell/message_box.h"
#include "shell/saver_window.h"
#include "shell/shell_state.h"

namespace {

std::vector<SeenMessageBox> seen;

int Record(HWND owner, const char* text, const char* caption, UINT type) {
  seen.push_back({owner, text ? text : "", caption ? caption : "", type});
  return IDOK;
}

}  // namespace

void ClearStoredSettings() {
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orwenk\\Nivalo\\ScreenSaverSettings");
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orwenk\\Nivalo");
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orwenk");
}

void StoreSettings(const std::function<void(SettingsRecord&)>& edit) {
  ResetSettings();
  edit(Settings());
  SaveSettings();
}

std::vector<SeenMessageBox>& RecordMessageBoxes() {
  SetMessageBoxObserver(Record);
  return seen;
}

HWND CreateSaverWindow(HWND parent) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  Shell().instance = instance;
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  wc.lpfnWndProc = SaverWindowProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kSaverClassName;
  RegisterClassA(&wc);  // already registered on the second call: harmless
  if (parent) {
    RECT client;
    GetClientRect(parent, &client);
    Shell().previewMode = 1;
    return CreateWindowExA(0, kSaverClassName, kPreviewTitle,
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, client.right,
                           client.bottom, parent, nullptr, instance, nullptr);
  }
  return CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, kFullScreenTitle,
                         WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                         nullptr, instance, nullptr);
}

void RunFrames(HWND saver, int n) {
  for (int i = 0; i < n; ++i) SendMessageA(saver, WM_TIMER, 1, 0);
}

void RunWindTimer(HWND saver, UINT_PTR id) { SendMessageA(saver, WM_TIMER, id, 0); }

void DropPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    // A paint request stays until it is handled: let it paint.
    if (msg.message == WM_PAINT) DispatchMessageA(&msg);
  }
}

COLORREF PixelAt(HWND saver, int x, int y) {
  HDC dc = GetDC(saver);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(saver, dc);
  return c;
}
