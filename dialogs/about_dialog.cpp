#include "dialogs/about_dialog.h"

#include <algorithm>

#include "dialogs/context_help.h"
#include "dialogs/text_font.h"
#include "dialogs/web_page.h"
#include "resources/resource.h"
#include "system/beep.h"
#include "system/optional_calls.h"

namespace {

constexpr char kFace[] = "Arial";
constexpr int kBodySize = 76;      // tenths of a point
constexpr int kHeadingSize = 125;  // tenths of a point, bold
constexpr UINT kTextFormat = DT_WORDBREAK | DT_CENTER;

// The two empty lines at the top leave room for the heading, which is drawn
// afterwards into the same rectangle.
constexpr char kBodyText[] =
    "\n"
    "\n"
    "version 0.1.5.3 for Windows 95/98/NT\n"
    "Nivalo is free: use it and pass it on as you like.\n"
    "\n"
    "It comes as it is, without any warranty.\n"
    "\n"
    "The snow, the sleigh and the trees are drawn by the program.\n"
    "\n"
    "Move the mouse or press a key to end the snowfall.\n"
    "\n"
    "New versions and information can be obtained from:\n"
    "\n"
    NIVALO_WEB_ADDRESS "\n"
    "\n"
    "Settings are under Settings in the display control panel.\n"
    "\n"
    "Happy holidays!\n"
    "Thank you for letting it snow\n"
    "on your screen this winter.\n";

constexpr char kHeading[] = "*** Nivalo ***";

// The last font made for the text, kept in the box's own slot until the
// next paint replaces it or the box goes away.
void ReplaceFont(HWND dialog, HFONT next) {
  if (HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrA(dialog, DWLP_USER))) DeleteObject(font);
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(next));
}

// The text area first repaints itself empty; the body text goes on top of
// it, then the heading onto the body's two empty leading lines.
BOOL OnPaint(HWND dialog) {
  HWND textArea = GetDlgItem(dialog, IDC_ABOUT_TEXT);
  InvalidateRect(textArea, nullptr, TRUE);
  UpdateWindow(textArea);

  RECT area;
  GetClientRect(textArea, &area);
  HDC dc = GetDC(textArea);
  const int previousMode = SetBkMode(dc, TRANSPARENT);

  HFONT body = CreateTextFont(dc, kFace, kBodySize, 0, 0, 0);
  ReplaceFont(dialog, body);
  const HGDIOBJ previousFont = SelectObject(dc, body);
  if (DrawTextA(dc, kBodyText, -1, &area, kTextFormat) == 0) SoundBeep(0);

  HFONT heading = CreateTextFont(dc, kFace, kHeadingSize, 0, kTextFontBold, 0);
  SelectObject(dc, heading);
  ReplaceFont(dialog, heading);
  DrawTextA(dc, kHeading, -1, &area, kTextFormat);

  SelectObject(dc, previousFont);
  SetBkMode(dc, previousMode);
  ReleaseDC(textArea, dc);
  return FALSE;
}

// Centred on the window that opened it (the screen's work area without
// one), and kept on the work area.
BOOL OnInitDialog(HWND dialog) {
  RECT box, around;
  GetWindowRect(dialog, &box);
  HWND owner = GetWindow(dialog, GW_OWNER);
  const bool owned = owner && GetWindowRect(owner, &around);
  const RECT area = WorkAreaAt(owned ? POINT{(around.left + around.right) / 2, (around.top + around.bottom) / 2}
                                     : POINT{box.left, box.top});
  if (!owned) around = area;
  const int w = box.right - box.left, h = box.bottom - box.top;
  const int x = std::max(area.left, std::min((around.left + around.right - w) / 2, area.right - w));
  const int y = std::max(area.top, std::min((around.top + around.bottom - h) / 2, area.bottom - h));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

// Help asked in the box is about the box, in front of it; it does not go
// on to the settings dialog that owns it.
BOOL OnHelp(HWND dialog, const HELPINFO& help) {
  ShowWindowHelp(dialog, HelpContextOf(IDC_ABOUT), static_cast<HWND>(help.hItemHandle), help.MousePos);
  return TRUE;
}

BOOL OnClose(HWND dialog) {
  EndDialog(dialog, 0);
  return FALSE;
}

// OK and Esc close the box, as in every dialog.
BOOL OnCommand(HWND dialog, int control) {
  switch (control) {
    case IDOK: case IDCANCEL: EndDialog(dialog, 0); return FALSE;
    case IDC_ABOUT_WEB_PAGE: OpenWebPage(NIVALO_WEB_ADDRESS); return TRUE;
    default: return FALSE;
  }
}

// Nothing of the box may outlive it: the font made by the last paint goes
// with it.
BOOL OnDestroy(HWND dialog) {
  ReplaceFont(dialog, nullptr);
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_HELP: return OnHelp(dialog, *reinterpret_cast<const HELPINFO*>(lParam));
    case WM_PAINT: return OnPaint(dialog);
    case WM_CLOSE: return OnClose(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_DESTROY: return OnDestroy(dialog);
    default: return FALSE;
  }
}
