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
// it fits on the screen at all. Where even lines as wide as the work area
// are too tall, a smaller font is taken, down to kSmallestPoints, and
// after that the text is cut after the last words that fit, with kCut.
constexpr int kLineCharacters = 50;
constexpr int kLongLine = 100;
constexpr int kSmallestPoints = 7;
constexpr char kCut[] = " ...";

// The window's extra bytes: its font, whether a mouse button or a system
// key went down on it, and how many characters of its text it shows (0:
// all of them).
constexpr int kFontSlot = 0;
constexpr int kPressedSlot = sizeof(LONG_PTR);
constexpr int kSystemKeySlot = 2 * sizeof(LONG_PTR);
constexpr int kShownSlot = 3 * sizeof(LONG_PTR);
constexpr int kSlots = 4;

HFONT FontOf(HWND popup) {
  const auto font = reinterpret_cast<HFONT>(GetWindowLongPtrA(popup, kFontSlot));
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ReplaceFont(HWND popup, HFONT font) {
  const auto old = reinterpret_cast<HFONT>(SetWindowLongPtrA(popup, kFontSlot, reinterpret_cast<LONG_PTR>(font)));
  if (old && old != font) DeleteObject(old);
}

// The font of the system's message boxes at the resolution of the monitor
// the pop-up opens on, of the given character height in pixels (0: as the
// system has it).
HFONT CreateMessageFont(HWND popup, int height) {
  LOGFONTA font;
  if (!MessageFontAt(ResolutionOf(popup), &font)) return nullptr;
  if (height > 0) font.lfHeight = -height;
  return CreateFontIndirectA(&font);
}

std::string TextOf(HWND popup) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(popup)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(popup, text.data(), static_cast<int>(text.size()))));
  return text;
}

// What the pop-up shows: its text, or the part of it that fits, cut.
std::string ShownText(HWND popup) {
  const std::string text = TextOf(popup);
  const auto shown = static_cast<size_t>(GetWindowLongPtrA(popup, kShownSlot));
  return shown == 0 || shown >= text.size() ? text : text.substr(0, shown) + kCut;
}

// The width of the font's average character, of the font selected into dc:
// the space between the frame and the text, and the measure of a line.
int AverageCharacter(HDC dc) {
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  return metrics.tmAveCharWidth;
}

// The size of the text wrapped at width, in the font selected into dc.
SIZE TextSize(HDC dc, const std::string& text, int width) {
  RECT bounds{0, 0, width, 0};
  DrawTextA(dc, text.c_str(), -1, &bounds, kTextFormat | DT_CALCRECT);
  return SIZE{bounds.right, bounds.bottom};
}

// The pop-up's outer size for the text in the font selected into dc,
// wrapped as described above; cy beyond the area's height where the text
// does not fit at all.
SIZE WrappedSize(HDC dc, const std::string& text, const RECT& area) {
  const int character = AverageCharacter(dc);
  const int frameX = 2 * (GetSystemMetrics(SM_CXBORDER) + character);
  const int frameY = 2 * (GetSystemMetrics(SM_CYBORDER) + character);
  const int widest = std::max(1, static_cast<int>(area.right - area.left) - frameX);
  int width = std::min(kLineCharacters * character, widest);
  for (;;) {
    const SIZE size = TextSize(dc, text, width);
    const int room = static_cast<int>(area.bottom - area.top) / (width < kLongLine * character ? 2 : 1);
    if (size.cy + frameY <= room || width == widest) return SIZE{size.cx + frameX, size.cy + frameY};
    width = std::min(width + width / 2, widest);
  }
}

// The most characters of the text, ended before a blank, that fit the
// area's height with kCut after them, at the width of the area.
size_t FittingPart(HDC dc, const std::string& text, const RECT& area) {
  size_t fits = 0, tooMany = text.size();
  while (tooMany - fits > 1) {
    const size_t middle = (fits + tooMany) / 2;
    const size_t end = text.find_last_of(" \r\n", middle);
    const size_t part = end == std::string::npos || end <= fits ? middle : end;
    if (WrappedSize(dc, text.substr(0, part) + kCut, area).cy <= area.bottom - area.top) {
      fits = part;
    } else {
      tooMany = part;
    }
  }
  return std::max<size_t>(fits, 1);
}

// The pop-up's outer size for its text on the work area, choosing its font
// and how much of the text it shows.
SIZE PopupSize(HWND popup, const RECT& area) {
  HDC dc = GetDC(popup);
  const HGDIOBJ oldFont = SelectObject(dc, FontOf(popup));
  const std::string text = TextOf(popup);
  const int areaHeight = static_cast<int>(area.bottom - area.top);
  const int smallest = MulDiv(kSmallestPoints, ResolutionOf(popup), 72);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SIZE size = WrappedSize(dc, text, area);
  for (int height = metrics.tmHeight - metrics.tmInternalLeading - 1; size.cy > areaHeight && height >= smallest;
       --height) {
    HFONT smaller = CreateMessageFont(popup, height);
    if (!smaller) break;
    SelectObject(dc, smaller);
    ReplaceFont(popup, smaller);
    size = WrappedSize(dc, text, area);
  }
  if (size.cy > areaHeight) {
    const size_t shown = FittingPart(dc, text, area);
    SetWindowLongPtrA(popup, kShownSlot, static_cast<LONG_PTR>(shown));
    size = WrappedSize(dc, ShownText(popup), area);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(popup, dc);
  return SIZE{std::min(size.cx, area.right - area.left), std::min(size.cy, area.bottom - area.top)};
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
  SetWindowLongPtrA(popup, kFontSlot, reinterpret_cast<LONG_PTR>(CreateMessageFont(popup, 0)));
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
  DrawTextA(dc, ShownText(popup).c_str(), -1, &text, kTextFormat);
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

// Any key closes it, but for a held key's repeats (bit 30 of lParam), which
// come from a key that was already down: F1 held would otherwise close the
// pop-up it opened. A system key (Alt, F10) closes it when it goes up, and
// goes no further: its release must not start the dialog's menu mode.
void OnKeyDown(HWND popup, LPARAM lParam) {
  if (!(lParam & (1 << 30))) DestroyWindow(popup);
}
void OnSystemKeyDown(HWND popup, LPARAM lParam) {
  if (!(lParam & (1 << 30))) SetWindowLongPtrA(popup, kSystemKeySlot, 1);
}
void OnSystemKeyUp(HWND popup) {
  if (GetWindowLongPtrA(popup, kSystemKeySlot)) DestroyWindow(popup);
}

void OnNcDestroy(HWND popup) { ReplaceFont(popup, nullptr); }

LRESULT CALLBACK HelpPopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(popup);
    case WM_PAINT: OnPaint(popup); return 0;
    case WM_ACTIVATE: return OnActivate(popup, wParam, lParam);
    case WM_KEYDOWN: OnKeyDown(popup, lParam); return 0;
    case WM_SYSKEYDOWN: OnSystemKeyDown(popup, lParam); return 0;
    case WM_SYSKEYUP: OnSystemKeyUp(popup); return 0;
    case WM_SYSCHAR: return 0;  // Alt and a letter: no menu of the pop-up's to choose from
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
  c.cbWndExtra = kSlots * sizeof(LONG_PTR);
  c.hInstance = Shell().instance;
  c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
  c.lpszClassName = kHelpPopupClass;
  RegisterClassA(&c);  // fails harmlessly once an earlier pop-up registered it
}

}  // namespace

HWND ShowHelpPopup(HWND owner, const char* text, const RECT& anchor) {
  RegisterPopupClass();
  // In front of an owner that stays in front of every other window. Made at
  // the anchor, on the monitor it opens on, whose resolution its font is
  // made for.
  const DWORD topmost = GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST;
  HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW | topmost, kHelpPopupClass, text, kStyle, anchor.left,
                               anchor.bottom, 0, 0, owner, nullptr, Shell().instance, nullptr);
  if (!popup) return nullptr;
  const RECT area = WorkAreaAt(POINT{anchor.left, anchor.top});
  const SIZE size = PopupSize(popup, area);
  const POINT at = PopupPlace(anchor, size, area);
  SetWindowPos(popup, HWND_TOP, at.x, at.y, size.cx, size.cy, SWP_SHOWWINDOW);
  return popup;
}
