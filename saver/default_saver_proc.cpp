#include "saver/default_saver_proc.h"

#include <windowsx.h>

#include <cstdlib>

#include "saver/password.h"
#include "system/later_messages.h"
#include "system/message_box.h"
#include "system/shell_state.h"

namespace {

POINT savedCursor{0, 0};

bool InPreview() { return Shell().previewMode != 0; }

void HideCursor() { SetCursor(nullptr); }

void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

// Travel is measured from the baseline: the mouse's with the real cursor
// position, a hovering pen's with its own; small moves add up against the
// same baseline.
void OnTravel(HWND window, POINT now) {
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
bool HandleSaverInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
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
    case WM_MOUSEMOVE: {
      POINT now;
      GetCursorPos(&now);
      OnTravel(window, now);
      return false;
    }
    case WM_POINTERDOWN:  // a finger or a pen on the screen, as a click
      PostClose(window);
      return false;
    case WM_POINTERUPDATE:  // a contact that moves, or a pen that hovers
      if (HIWORD(wParam) & POINTER_MESSAGE_FLAG_INCONTACT) {
        PostClose(window);
      } else {
        OnTravel(window, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      }
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
void TakeMouseBaseline() { GetCursorPos(&savedCursor); }

// A test seam (tests/support/seams.h); the program never calls it.
void ResetDefaultSaverState() { savedCursor = POINT{0, 0}; }

LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (InPreview() || SaverClosing()) return AnswerAutoPlayOrDefault(window, message, wParam, lParam);
  if (message == WM_CLOSE) return OnClose(window, message, wParam, lParam);
  if (message == kVerifyRequest && Shell().win9xPlatform) return RunVerifier(window);
  if (!CheckingPassword()) {
    LRESULT result = 0;
    if (HandleSaverInput(window, message, wParam, lParam, &result)) return result;
  }
  return AnswerAutoPlayOrDefault(window, message, wParam, lParam);
}
