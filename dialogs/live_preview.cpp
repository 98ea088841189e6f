#include "dialogs/live_preview.h"

#include "images/desktop.h"
#include "scene/scene.h"
#include "settings/settings.h"
#include "system/optional_calls.h"
#include "system/process_state.h"

const char kLivePreviewClassName[] = "Nivalo live preview";

namespace {

HWND preview = nullptr;
HWND owner = nullptr;  // the dialog it stays behind

constexpr UINT kBehind = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

// The dialog tells of files it cannot read as it opens and as they are
// chosen or typed; the scene stays quiet about them.
LRESULT OnCreate(HWND window) {
  CreateScene(window, Process().instance, SurfaceSpan::kWindow, UnreadableFiles::kQuiet);
  return 0;
}

// Whether the window lies in front of the other.
bool InFrontOf(HWND window, HWND other) {
  for (HWND w = GetWindow(window, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == other) return true;
  }
  return false;
}

// Each frame puts the window right behind the dialog again where it is not.
// X without a window manager lifts a window to the top once it shows it,
// and lowers none: there the dialog comes forward instead. And another
// program's window may have come between when the dialog was activated
// again.
void KeepBehindDialog(HWND window) {
  const HWND above = GetWindow(window, GW_HWNDPREV);
  if (above == owner) return;
  if (InFrontOf(window, owner)) {
    SetWindowPos(owner, above ? above : HWND_TOP, 0, 0, 0, 0, kBehind);
  } else {
    SetWindowPos(window, owner, 0, 0, 0, 0, kBehind);
  }
}

LRESULT OnTimer(HWND window, WPARAM id, LPARAM lParam) {
  if (id == kFrameTimer) KeepBehindDialog(window);
  return SceneProc(window, WM_TIMER, id, lParam, DefWindowProcA);
}

// A click neither activates the window nor brings it forward.
LRESULT CALLBACK LivePreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:        return OnCreate(window);
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_TIMER:         return OnTimer(window, wParam, lParam);
    default:               return SceneProc(window, message, wParam, lParam, DefWindowProcA);
  }
}

// The class of the saver window's look: its own DC, a black brush until the
// scene paints, and the arrow, since the user still works in the dialog.
bool RegisterPreviewClass() {
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  wc.lpfnWndProc = LivePreviewProc;
  wc.hInstance = Process().instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kLivePreviewClassName;
  return RegisterClassA(&wc) != 0;
}

}  // namespace

bool StartLivePreview(HWND dialog) {
  if (preview) return true;
  if (!RegisterPreviewClass()) return false;
  owner = dialog;
  // Made as the saver's window is made, at the size the system enlarges,
  // so that flakes, sleigh and trees come out as large as the saver's.
  const HANDLE resolution = EnterSystemEnlarging();
  const RECT m = MonitorOf(dialog);
  // The desktop of the dialog's monitor as it is now, the dialog left out
  // of its windows: its picture lies right under the dialog.
  if (Settings().SnowOnDesktop == 1) TakeDesktop(m, dialog);
  // Not owned by the dialog, which would keep it in front; off the taskbar.
  preview = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kLivePreviewClassName, "",
                            WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, m.left, m.top,
                            m.right - m.left, m.bottom - m.top, nullptr, nullptr, Process().instance,
                            nullptr);
  LeaveSystemEnlarging(resolution);
  if (!preview) {
    ForgetDesktop();
    UnregisterClassA(kLivePreviewClassName, Process().instance);
    return false;
  }
  // Right behind the dialog, shown without taking the activation.
  SetWindowPos(preview, dialog, 0, 0, 0, 0, kBehind | SWP_SHOWWINDOW);
  UpdateWindow(preview);
  return true;
}

void EndLivePreview() {
  if (!preview) return;
  DestroyWindow(preview);
  preview = nullptr;
  owner = nullptr;
  UnregisterClassA(kLivePreviewClassName, Process().instance);
}

HWND LivePreviewWindow() { return preview; }
