#include "shell/saver_window.h"

#include <cstdlib>

#include "shell/password.h"
#include "system/message_box.h"
#include "system/shell_state.h"

namespace {

using AssociateFunction = HANDLE(WINAPI*)(HWND, HANDLE);

POINT savedCursor{0, 0};
AssociateFunction associateContext = nullptr;
HANDLE keptContext = nullptr;

constexpr UINT kHelpAnswerWait = 1000;  // ms

bool InPreview() { return Shell().previewMode != 0; }

void HideCursor() { SetCursor(nullptr); }

void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

// The input method is detached only when the process already has it loaded.
void DetachInputMethod(HWND window) {
  HMODULE imm = GetModuleHandleA("IMM32.DLL");
  if (!imm) return;
  associateContext = reinterpret_cast<AssociateFunction>(
      reinterpret_cast<void*>(GetProcAddress(imm, "ImmAssociateContext")));
  if (associateContext) keptContext = associateContext(window, nullptr);
}

LRESULT OnCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DetachInputMethod(window);
  GetCursorPos(&savedCursor);
  if (!InPreview()) HideCursor();
  return SceneProc(window, message, wParam, lParam);
}

LRESULT OnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (associateContext && keptContext) associateContext(window, keptContext);
  PostQuitMessage(0);
  return SceneProc(window, message, wParam, lParam);
}

LRESULT OnPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (SaverClosing()) return DefWindowProcA(window, message, wParam, lParam);
  if (!InPreview()) HideCursor();
  return SceneProc(window, message, wParam, lParam);
}

// In a preview the control panel owns help: the request goes to the parent.
// A right click goes on as it came. A help request is made anew about the
// parent, the control the control panel knows, and sent: its HELPINFO is a
// pointer, which the system carries into the control panel's process only
// for a sent message, and which must still be there when it is read. A
// control panel that does not answer holds the preview up for a second at
// most.
LRESULT OnHelpRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!InPreview()) return SceneProc(window, message, wParam, lParam);
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
  return SceneProc(window, message, wParam, lParam);
}

LRESULT OnSysCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!InPreview() && (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW ||
                       wParam == SC_SCREENSAVE)) {
    return 0;
  }
  return SceneProc(window, message, wParam, lParam);
}

LRESULT OnTimer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (SaverClosing()) return 0;
  // Each frame first gives the rest of the time slice to whatever else is
  // waiting to run, so that the saver never crowds out the system.
  Sleep(0);
  return SceneProc(window, message, wParam, lParam);
}

// Mouse travel is measured from the baseline with the real cursor position;
// small moves add up against the same baseline.
void OnMouseMove(HWND window) {
  POINT now;
  GetCursorPos(&now);
  unsigned travel = static_cast<unsigned>(std::abs(now.x - savedCursor.x)) +
                    static_cast<unsigned>(std::abs(now.y - savedCursor.y));
  if (travel > kMouseThreshold) {
    PostClose(window);
    savedCursor = now;
  }
}

LRESULT OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Shell().win9xPlatform && !CheckPasswordOnClose(window)) {
    GetCursorPos(&savedCursor);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Messages every saver treats alike, outside a running password prompt.
// Returns true when the message was answered in full (result set).
bool HandleSaverInput(HWND window, UINT message, WPARAM wParam, LRESULT* result) {
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam) HideCursor();
      return false;
    case WM_ACTIVATEAPP:
      // The saver's own message boxes (a picture that cannot be read, say)
      // take the activation too; only another program ends the saver.
      if (!wParam && !OwnMessageBoxShowing()) PostClose(window);
      return false;
    case WM_SETCURSOR:
      HideCursor();
      *result = 1;
      return true;
    case WM_POWER:
      if (wParam == PWR_SUSPENDREQUEST) PostClose(window);
      return false;
    case WM_POWERBROADCAST:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      PostClose(window);
      return false;
    case WM_MOUSEMOVE:
      OnMouseMove(window);
      return false;
    default:
      return false;
  }
}

// The last stop of every message: a CD inserted on Windows 95/98 ends the
// saver (and AutoPlay is cancelled while a password guards it); everything
// else gets the system's default handling.
LRESULT AnswerAutoPlayOrDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT autoPlay = Shell().autoPlayMessage;
  if (autoPlay != 0 && message == autoPlay) {
    PostClose(window);
    return VerifierLoaded() ? 1 : 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

POINT SavedCursor() { return savedCursor; }

// A test seam (tests/support/seams.h); the program never calls it.
void ResetSaverWindowState() {
  savedCursor = POINT{0, 0};
  associateContext = nullptr;
  keptContext = nullptr;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:      return OnCreate(window, message, wParam, lParam);
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
    case WM_MBUTTONDOWN: return OnInput(window, message, wParam, lParam);
    case WM_SYSCOMMAND:  return OnSysCommand(window, message, wParam, lParam);
    case WM_TIMER:       return OnTimer(window, message, wParam, lParam);
    default:             return SceneProc(window, message, wParam, lParam);
  }
}

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (InPreview() || SaverClosing()) return AnswerAutoPlayOrDefault(window, message, wParam, lParam);
  if (message == WM_CLOSE) return OnClose(window, message, wParam, lParam);
  if (message == kVerifyRequest && Shell().win9xPlatform) return RunVerifier(window);
  if (!CheckingPassword()) {
    LRESULT result = 0;
    if (HandleSaverInput(window, message, wParam, &result)) return result;
  }
  return AnswerAutoPlayOrDefault(window, message, wParam, lParam);
}
