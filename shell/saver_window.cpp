#include "shell/saver_window.h"

#include "saver/default_saver_proc.h"
#include "saver/password.h"
#include "scene/scene.h"
#include "settings/settings.h"
#include "system/later_messages.h"
#include "system/optional_calls.h"
#include "system/shell_state.h"

namespace {

using AssociateFunction = HANDLE(WINAPI*)(HWND, HANDLE);

AssociateFunction associateContext = nullptr;
HANDLE keptContext = nullptr;

constexpr UINT kHelpAnswerWait = 1000;  // ms

bool InPreview() { return Shell().previewMode != 0; }

void HideCursor() { SetCursor(nullptr); }

// The scene hosted by the window, with the default saver procedure for
// what it leaves.
LRESULT Scene(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return SceneProc(window, message, wParam, lParam, DefaultSaverProc);
}

// The input method is detached only when the process already has it loaded.
void DetachInputMethod(HWND window) {
  HMODULE imm = GetModuleHandleA("IMM32.DLL");
  if (!imm) return;
  associateContext = reinterpret_cast<AssociateFunction>(
      reinterpret_cast<void*>(GetProcAddress(imm, "ImmAssociateContext")));
  if (associateContext) keptContext = associateContext(window, nullptr);
}

// The saver runs the stored settings; the scene's resources come from the
// module that created the window. A full-screen window spans every monitor,
// a preview shows the top-left part of one screen.
LRESULT OnCreate(HWND window, const CREATESTRUCTA& created) {
  DetachInputMethod(window);
  TakeMouseBaseline();
  if (!InPreview()) HideCursor();
  LoadSettings();
  const HINSTANCE instance = created.hInstance ? created.hInstance : GetModuleHandleA(nullptr);
  const SurfaceSpan span = InPreview() ? SurfaceSpan::kDeviceScreen : SurfaceSpan::kMonitors;
  CreateScene(window, instance, span, UnreadableFiles::kTold);
  if (!InPreview()) WatchDisplayState(window);
  return 0;
}

LRESULT OnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  EndDisplayStateWatch();
  if (associateContext && keptContext) associateContext(window, keptContext);
  PostQuitMessage(0);
  return Scene(window, message, wParam, lParam);
}

LRESULT OnPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (SaverClosing()) return DefWindowProcA(window, message, wParam, lParam);
  if (!InPreview()) HideCursor();
  return Scene(window, message, wParam, lParam);
}

// In a preview the control panel owns help: the request goes to the parent.
// A right click goes on as it came. A help request is made anew about the
// parent, the control the control panel knows, and sent: its HELPINFO is a
// pointer, which the system carries into the control panel's process only
// for a sent message, and which must still be there when it is read. A
// control panel that does not answer holds the preview up for a second at
// most.
LRESULT OnHelpRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!InPreview()) return Scene(window, message, wParam, lParam);
  HWND parent = GetParent(window);
  if (!parent || !IsWindow(parent)) return 1;
  if (message == WM_CONTEXTMENU) {
    PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
  } else {
    HELPINFO help{sizeof help, HELPINFO_WINDOW, GetDlgCtrlID(parent), parent, 0, {}};
    GetCursorPos(&help.MousePos);
    SendMessageTimeoutA(parent, message, 0, reinterpret_cast<LPARAM>(&help), SMTO_ABORTIFHUNG,
                        kHelpAnswerWait, nullptr);
  }
  return 1;
}

LRESULT OnInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (SaverClosing()) return DefWindowProcA(window, message, wParam, lParam);
  return Scene(window, message, wParam, lParam);
}

// The display's state, which only the full-screen saver asks for: while the
// display is off the scene stands still, dimmed or on it goes on. Every
// other power message goes on to the default handling, which ends the saver.
LRESULT OnPowerBroadcast(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (InPreview() || wParam != PBT_POWERSETTINGCHANGE) return Scene(window, message, wParam, lParam);
  const DisplayState state = DisplayStateOf(*reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam));
  if (state == DisplayState::kOff) {
    PauseScene();
  } else if (state != DisplayState::kUnknown && !SaverClosing()) {
    ResumeScene();
  }
  return TRUE;
}

LRESULT OnSysCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!InPreview() && (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW ||
                       wParam == SC_SCREENSAVE)) {
    return 0;
  }
  return Scene(window, message, wParam, lParam);
}

LRESULT OnTimer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (SaverClosing()) return 0;
  // Each frame first gives the rest of the time slice to whatever else is
  // waiting to run, so that the saver never crowds out the system.
  Sleep(0);
  return Scene(window, message, wParam, lParam);
}

}  // namespace

// A test seam (tests/support/seams.h); the program never calls it.
void ResetSaverWindowState() {
  associateContext = nullptr;
  keptContext = nullptr;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:      return OnCreate(window, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY:     return OnDestroy(window, message, wParam, lParam);
    case WM_SETTEXT:     return 0;
    case WM_PAINT:       return OnPaint(window, message, wParam, lParam);
    case WM_HELP:
    case WM_CONTEXTMENU: return OnHelpRequest(window, message, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_POINTERDOWN:
    case WM_POINTERUPDATE: return OnInput(window, message, wParam, lParam);
    case WM_POWERBROADCAST: return OnPowerBroadcast(window, message, wParam, lParam);
    case WM_SYSCOMMAND:  return OnSysCommand(window, message, wParam, lParam);
    case WM_TIMER:       return OnTimer(window, message, wParam, lParam);
    default:             return Scene(window, message, wParam, lParam);
  }
}
