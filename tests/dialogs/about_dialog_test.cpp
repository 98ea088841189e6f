// The About box and its fonts: sizes from a device's resolution, the DC left
// as it was, centred text without leaks, the web button and the ways out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

#include "dialogs/about_dialog.h"
#include "dialogs/text_font.h"
#include "resources/resource.h"
#include "support/test_support.h"
#include "version.h"

namespace {

// The sizes of the body and the heading, 7.6 and 12.5 point, on screens of
// known physical size, and without one at 96 logical pixels per inch.
TEST(TextFontSize, WorkedExamples) {
  const struct { int pixels, millimetres, tenths, y, height; } cases[] = {
      {1024, 320, 76, 85, -9}, {1024, 320, 125, 141, -14}, {800, 240, 76, 89, -9}, {800, 240, 125, 146, -15},
      {640, 240, 76, 71, -7},  {640, 240, 125, 117, -12},  {1024, 0, 76, 101, -10}, {1024, 0, 125, 166, -17}};
  for (const auto& c : cases) {
    const int y = TenthsToDevice(c.tenths, AxisDotsPerInch(c.pixels, c.millimetres, 96));
    EXPECT_EQ(std::pair(c.y, c.height), std::pair(y, FontHeightFor(y))) << c.pixels << " px over " << c.millimetres;
  }
}

// The size comes from the device's physical resolution, through the DC's
// mapping (ten logical units a pixel), whatever its world transform and
// origins: at a size where this device's physical and logical resolutions
// differ by a pixel, the physical one counts. The DC is left as it was and
// the font, bold or not, unselected.
TEST(TextFont, SizedFromThePhysicalResolutionThroughTheMappingLeavingTheDcAsItWas) {
  HDC dc = CreateCompatibleDC(nullptr);
  const float physical = AxisDotsPerInch(GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE), 0);
  const float logical = static_cast<float>(GetDeviceCaps(dc, LOGPIXELSY));
  int size = 1;
  while (size < 2000 && TenthsToDevice(size, physical) == TenthsToDevice(size, logical)) ++size;
  ASSERT_LT(size, 2000) << "no size tells the two resolutions of this device apart";
  const XFORM transform{3, 0.5f, 0, 3, 15, -9};
  SetGraphicsMode(dc, GM_ADVANCED);
  SetWorldTransform(dc, &transform);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, 10, 10, nullptr);
  SetViewportExtEx(dc, 1, 1, nullptr);
  SetViewportOrgEx(dc, 1000, -700, nullptr);
  SetWindowOrgEx(dc, 37, 500, nullptr);
  for (bool bold : {false, true}) {
    HFONT font = CreateTextFont(dc, "Arial", size, bold);
    LOGFONTA lf{};
    ASSERT_EQ(static_cast<int>(sizeof lf), GetObjectA(font, sizeof lf, &lf));
    EXPECT_EQ(std::tuple(-TenthsToDevice(size, physical), bold ? 700L : 0L, std::string("Arial")),
              std::tuple(lf.lfHeight, lf.lfWeight, std::string(lf.lfFaceName))) << size;
    EXPECT_NE(static_cast<HGDIOBJ>(font), GetCurrentObject(dc, OBJ_FONT)) << "the font is left unselected";
    DeleteObject(font);
  }
  XFORM after{};
  POINT viewport{}, window{};
  GetWorldTransform(dc, &after);
  GetViewportOrgEx(dc, &viewport);
  GetWindowOrgEx(dc, &window);
  EXPECT_EQ(0, memcmp(&transform, &after, sizeof after));
  EXPECT_EQ(std::tuple(GM_ADVANCED, MM_ANISOTROPIC, 1000L, -700L, 37L, 500L),
            std::tuple(GetGraphicsMode(dc), GetMapMode(dc), viewport.x, viewport.y, window.x, window.y));
  DeleteDC(dc);
}

class AboutBox : public testing::Test {
 protected:
  void TearDown() override { DestroyWindow(dialog); }
  void Open() {  // modeless, at the screen's top left, shown and painted
    dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
    EXPECT_EQ(GetDlgItem(dialog, IDOK), GetFocus()) << "the dialog manager focuses OK";
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(dialog);
  }
  HWND dialog = nullptr;
};

TEST_F(AboutBox, DrawsTheHeadingOverTheBodyCentredLineByLine) {
  Open();
  EXPECT_FALSE(GetUpdateRect(dialog, nullptr, FALSE)) << "the box's painting is done";
  HWND textArea = GetDlgItem(dialog, IDC_ABOUT_TEXT);
  RECT area;
  GetClientRect(textArea, &area);
  HDC dc = GetDC(textArea);
  const Capture c = CaptureDC(dc, area.right, area.bottom);
  HFONT body = CreateTextFont(dc, "Arial", 76, false);
  HFONT heading = CreateTextFont(dc, "Arial", 125, true);
  TEXTMETRICA tm{};
  SelectObject(dc, body);  // the stock font is put back below
  GetTextMetricsA(dc, &tm);
  const int line = tm.tmHeight;
  ASSERT_LE(21 * line, area.bottom) << "twenty lines fit the text area";
  const uint32_t background = c.At(0, 0);
  // Dark text on a transparent background: no pixel lighter than the area in any channel.
  EXPECT_EQ(0, std::count_if(c.pixels.begin(), c.pixels.end(), [&](uint32_t p) {
              return (p & 0xFF) > (background & 0xFF) || (p & 0xFF00) > (background & 0xFF00) ||
                     (p & 0xFF0000) > (background & 0xFF0000);
            })) << "text cells are not filled";

  // The heading on lines 1 and 2, lines 3 to 20 inked as marked, nothing after.
  const char inked[] = "xxx.x.x.x.x.x.x.xxx.";
  const std::map<int, std::pair<HFONT, const char*>> known = {
      {2, {heading, "*** Nivalo ***"}}, {3, {body, "version " NIVALO_VERSION " for Windows 95/98/NT"}},
      {14, {body, NIVALO_WEB_ADDRESS}}, {18, {body, "Happy holidays!"}}};
  for (int n = 2; n <= 21; ++n) {
    int left = c.width, right = -1;
    for (int y = n == 2 ? 0 : (n - 1) * line; y < (n == 21 ? c.height : n * line); ++y) {
      for (int x = 0; x < c.width; ++x) {
        if (c.At(x, y) != background) left = std::min(left, x), right = std::max(right, x);
      }
    }
    EXPECT_EQ(inked[n - 2] == 'x', right >= 0) << "line " << n;
    if (right < 0) continue;
    EXPECT_NEAR(area.right - 1 - right, left, 3) << "line " << n << " centred";
    if (!known.count(n)) continue;
    const auto [font, text] = known.at(n);
    SIZE extent{};
    SelectObject(dc, font);
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    EXPECT_NEAR(extent.cx, right - left + 1, 4) << text;
  }
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_TRUE(c == CaptureDC(dc, area.right, area.bottom)) << "a repaint draws the same again";
  DeleteObject(body);
  DeleteObject(heading);
  ReleaseDC(textArea, dc);
}

// Fonts and DCs show in the free places: a paint keeps one font, many keep
// no more, and the box takes its font with it.
TEST_F(AboutBox, RepaintingKeepsOneFontAndTheBoxFreesIt) {
  Open();  // once, so that what the system makes on first use is made
  DestroyWindow(dialog);
  const int closed = FreeGdiPlaces();
  dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
  const int painted = FreeGdiPlaces() - 1;
  SendMessageA(dialog, WM_PAINT, 0, 0);
  EXPECT_EQ(painted, FreeGdiPlaces()) << "a paint keeps one font, and none kept by the box before";
  ShowWindow(dialog, SW_SHOW);
  for (int i = 0; i < 50; ++i) RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(painted, FreeGdiPlaces()) << "fifty paints keep no more than the first";
  DestroyWindow(dialog);
  EXPECT_EQ(closed, FreeGdiPlaces()) << "the box leaves nothing behind";
}

// Centred on the window that opens it, or on the work area without one.
TEST_F(AboutBox, OpensCentredOnItsOwner) {
  HWND owner = CreateWindowA("STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 80, 700, 600, nullptr, nullptr, nullptr, nullptr);
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  for (HWND o : {owner, HWND{}}) {
    dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), o, AboutDialogProc, 0);
    RECT box, around = area;
    GetWindowRect(dialog, &box);
    if (o) GetWindowRect(o, &around);
    EXPECT_NEAR(around.left + around.right, box.left + box.right, 1) << o;
    EXPECT_NEAR(around.top + around.bottom, box.top + box.bottom, 1) << o;
    DestroyWindow(dialog);
  }
  dialog = nullptr;
  DestroyWindow(owner);
}

// OK, Esc and closing end the box (which hides it); the web button opens
// the page through the shell, and the box stays.
TEST_F(AboutBox, EndsOnOkEscAndCloseAndOpensTheWebPage) {
  Open();
  for (auto [message, wParam] : {std::pair(WM_COMMAND, IDOK), {WM_COMMAND, IDCANCEL}, {WM_CLOSE, 0}}) {
    ShowWindow(dialog, SW_SHOWNA);
    SendMessageA(dialog, message, wParam, 0);
    EXPECT_FALSE(IsWindowVisible(dialog)) << message << ", " << wParam;
  }
  ShowWindow(dialog, SW_SHOWNA);
  std::vector<SeenShellCall>& shellCalls = RecordShellCalls();
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_WEB_PAGE, BN_CLICKED), 0);
  EXPECT_TRUE(IsWindowVisible(dialog));
  ASSERT_EQ(1u, shellCalls.size());
  const SeenShellCall& call = shellCalls[0];
  EXPECT_EQ(std::tuple(HWND{}, std::string("open"), std::string("Explorer.exe"), std::string(NIVALO_WEB_ADDRESS),
                       false, SW_SHOWNORMAL),
            std::tuple(call.owner, call.verb, call.file, call.parameters, call.hasDirectory, call.show));
}

}  // namespace
