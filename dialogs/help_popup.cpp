#include "dialogs/help_popup.h"

#include <algorithm>
#include <string>

#include "system/optional_calls.h"
#include "system/shell_state.h"

const char kHelpPopupClass[] = "NivaloHelpPopup";

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
constexpr UINT kTextFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
// A text is wrapped at about this many average characters. A long one
// gets longer lines, in steps, until it takes no more than half the
// screen's height, or, once its lines are kLongLine characters long, until
// it fits on the screen at all.
constexpr int kLineCharacters = 50;
constexpr int kLongLine = 100;

// The window's extra bytes: its font, and whether a mouse button went
// down on it.
constexpr int kFontSlot = 0;
constexpr int kPressedSlot = sizeof(LONG_PTR);

HFONT FontOf(HWND popup) {
  const auto font = reinterpret_cast<HFONT>(GetWindowLongPtrA(popup, kFontSlot));
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The font of the system's message boxes, at the resolution of the monitor
// the pop-up opens on.
HFONT CreateMessageFont(HWND popup) {
  LOGFONTA font;
  return MessageFontAt(ResolutionOf(popup), &font) ? CreateFontIndirectA(&font) : nullptr;
}

std::string TextOf(HWND popup) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(popup)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(popup, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The width of the font's average character, of the font selected into dc:
// the space between the frame and the text, and the measure of a line.
int AverageCharacter(HDC dc) {
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  return metrics.tmAveCharWidth;
}

// The pop-up's outer size for its text on the work area.
SIZE PopupSize(HWND popup, const RECT& area) {
  HDC dc = GetDC(popup);
  HGDIOBJ oldFont = SelectObject(dc, FontOf(popup));
  const std::string text = TextOf(popup);
  const int character = AverageCharacter(dc);
  const int frameX = 2 * (GetSystemMetrics(SM_CXBORDER) + character);
  const int frameY = 2 * (GetSystemMetrics(SM_CYBORDER) + character);
  const int widest = std::max(1, static_cast<int>(area.right - area.left) - frameX);
  int width = std::min(kLineCharacters * character, widest);
  RECT bounds;
  for (;;) {
    bounds = RECT{0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &bounds, kTextFormat | DT_CALCRECT);
    const int room = static_cast<int>(area.bottom - area.top) / (width < kLongLine * character ? 2 : 1);
    if (bounds.bottom + frameY <= room || width == widest) break;
    width = std::min(width + width / 2, widest);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(popup, dc);
  return SIZE{bounds.right + frameX, bounds.bottom + frameY};
}

// Below the anchor, or above it where the work area ends first; then moved
// as far as needed to lie on the area.
POINT PopupPlace(const RECT& anchor, SIZE size, const RECT& area) {
  POINT at{anchor.left, anchor.bottom};
  if (at.y + size.cy > area.bottom) at.y = anchor.top - size.cy;
  at.x = std::max(area.left, std::min(at.x, area.right - size.cx));
  at.y = std::max(area.top, std::min(at.y, area.bottom - size.cy));
  return at;
}

LRESULT OnCreate(HWND popup) {
  SetWindowLongPtrA(popup, kFontSlot, reinterpret_cast<LONG_PTR>(CreateMessageFont(popup)));
  return 0;
}

void OnPaint(HWND popup) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(popup, &paint);
  HGDIOBJ oldFont = SelectObject(dc, FontOf(popup));
  RECT text;
  GetClientRect(popup, &text);
  const int margin = AverageCharacter(dc);
  InflateRect(&text, -margin, -margin);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, TextOf(popup).c_str(), -1, &text, kTextFormat);
  SelectObject(dc, oldFont);
  EndPaint(popup, &paint);
}

// Losing the focus to any other window, the dialog's included, closes it:
// once the change of the active window is over, as destroying the window
// now would start another.
LRESULT OnActivate(HWND popup, WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) != WA_INACTIVE) return DefWindowProcA(popup, WM_ACTIVATE, wParam, lParam);
  PostMessageA(popup, WM_CLOSE, 0, 0);
  return 0;
}

// A click closes it when the button goes up, so that the release lands on
// nothing below; a button that was already down when it opened (the click
// of "What's this?") does not count.
void OnButtonDown(HWND popup) {
  SetWindowLongPtrA(popup, kPressedSlot, 1);
  SetCapture(popup);
}
void OnButtonUp(HWND popup) {
  if (!GetWindowLongPtrA(popup, kPressedSlot)) return;
  ReleaseCapture();
  DestroyWindow(popup);
}

void OnNcDestroy(HWND popup) {
  const auto font = reinterpret_cast<HFONT>(GetWindowLongPtrA(popup, kFontSlot));
  if (font) DeleteObject(font);
}

LRESULT CALLBACK HelpPopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(popup);
    case WM_PAINT: OnPaint(popup); return 0;
    case WM_ACTIVATE: return OnActivate(popup, wParam, lParam);
    case WM_KEYDOWN: case WM_SYSKEYDOWN: DestroyWindow(popup); return 0;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: OnButtonDown(popup); return 0;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: OnButtonUp(popup); return 0;
    case WM_NCDESTROY: OnNcDestroy(popup); break;
    default: break;
  }
  return DefWindowProcA(popup, message, wParam, lParam);
}

void RegisterPopupClass() {
  WNDCLASSA c{};
  c.style = CS_SAVEBITS | CS_DROPSHADOW;
  c.lpfnWndProc = HelpPopupProc;
  c.cbWndExtra = 2 * sizeof(LONG_PTR);
  c.hInstance = Shell().instance;
  c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
  c.lpszClassName = kHelpPopupClass;
  RegisterClassA(&c);  // fails harmlessly once an earlier pop-up registered it
}

}  // namespace

HWND ShowHelpPopup(HWND owner, const char* text, const RECT& anchor) {
  RegisterPopupClass();
  // Made at the anchor, on the monitor it opens on, whose resolution its
  // font is made for.
  HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW, kHelpPopupClass, text, kStyle, anchor.left,
                               anchor.bottom, 0, 0, owner, nullptr, Shell().instance, nullptr);
  if (!popup) return nullptr;
  const RECT area = WorkAreaAt(POINT{anchor.left, anchor.top});
  const SIZE size = PopupSize(popup, area);
  const POINT at = PopupPlace(anchor, size, area);
  SetWindowPos(popup, HWND_TOP, at.x, at.y, size.cx, size.cy, SWP_SHOWWINDOW);
  return popup;
}
