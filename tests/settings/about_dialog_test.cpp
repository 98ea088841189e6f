// The About box and the fonts it draws with: font sizes from a device's
// resolution, a DC left as it was found, the text drawn centred without
// leaking, the web button and the ways out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "settings/about_dialog.h"
#include "settings/text_font.h"
#include "shell/beep.h"
#include "shell/shell_open.h"
#include "support/test_support.h"

namespace {

LOGFONTA FontRecordOf(HFONT font) {
  LOGFONTA lf{};
  EXPECT_EQ(static_cast<int>(sizeof lf), GetObjectA(font, sizeof lf, &lf));
  return lf;
}

TEXTMETRICA MetricsOf(HDC dc, HFONT font) {
  TEXTMETRICA tm{};
  const HGDIOBJ previous = SelectObject(dc, font);
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, previous);
  return tm;
}

// --- The arithmetic, with the worked examples --------------------------------

TEST(TextFontSize, WorkedExamples) {
  struct Case {
    int pixels, millimetres, logicalPixels, useLogPixels, tenths, y, height;
  };
  const Case cases[] = {
      {1024, 271, 96, 1, 76, 101, -10},  {1024, 271, 96, 1, 125, 166, -17},
      {1024, 320, 96, 0, 76, 85, -9},    {1024, 320, 96, 0, 125, 141, -14},
      {800, 240, 96, 0, 76, 89, -9},     {800, 240, 96, 0, 125, 146, -15},
      {640, 240, 96, 0, 76, 71, -7},     {640, 240, 96, 0, 125, 117, -12},
      // A device that reports no physical size falls back to logical pixels.
      {1024, 0, 96, 0, 76, 101, -10},    {0, 0, 0, 0, 76, 0, 0},
  };
  for (const Case& c : cases) {
    const float dpi = AxisDotsPerInch(c.pixels, c.millimetres, c.logicalPixels, c.useLogPixels);
    const int y = TenthsToDevice(c.tenths, dpi);
    EXPECT_EQ(c.y, y) << c.pixels << " px over " << c.millimetres << " mm, " << c.tenths;
    EXPECT_EQ(c.height, FontHeightFor(y)) << c.pixels << " px over " << c.millimetres << " mm, " << c.tenths;
  }
  EXPECT_EQ(static_cast<float>(81.28), AxisDotsPerInch(1024, 320, 96, 0));
  EXPECT_EQ(96.0f, AxisDotsPerInch(1024, 320, 96, 1)) << "logical pixels win when asked for";
}

TEST(TextFontSize, HeightRoundsTenthsAndWidthFollowsTheProportion) {
  const int heights[][2] = {{0, 0}, {4, 0}, {5, -1}, {14, -1}, {15, -2}, {-101, -10}, {-105, -11}};
  for (auto& [y, height] : heights) EXPECT_EQ(height, FontHeightFor(y)) << y;
  struct Case {
    int x, y, average, width;
  };
  const Case widths[] = {{202, 101, 5, 10}, {-202, -101, 5, 10}, {101, 101, 5, 5}, {50, 101, 5, 2},
                         {70, 101, 5, 3},   {0, 101, 5, 0},      {202, 0, 5, 0}};
  for (const Case& c : widths) EXPECT_EQ(c.width, FontWidthFor(c.x, c.y, c.average)) << c.x << "/" << c.y;
}

// --- CreateTextFont on real device contexts ----------------------------------

class TextFont : public testing::Test {
 protected:
  void SetUp() override { dc = CreateCompatibleDC(nullptr); }
  void TearDown() override { DeleteDC(dc); }
  HDC dc = nullptr;
};

TEST_F(TextFont, LogicalResolutionGivesTheWorkedHeightsAndTheStyle) {
  ASSERT_EQ(96, GetDeviceCaps(dc, LOGPIXELSY));
  struct Case {
    int height, style, lfHeight;
    LONG weight;
    BYTE italic, underline, strikeOut;
  };
  const Case cases[] = {
      {76, 0, -10, 0, 0, 0, 0},   {125, 1, -17, 700, 0, 0, 0}, {76, 2, -10, 0, 1, 0, 0},
      {76, 4, -10, 0, 0, 1, 0},   {76, 8, -10, 0, 0, 0, 1},    {76, 15, -10, 700, 1, 1, 1},
  };
  for (const Case& c : cases) {
    HFONT font = CreateTextFont(dc, "Arial", c.height, 0, c.style, 1);
    ASSERT_NE(nullptr, font);
    const LOGFONTA lf = FontRecordOf(font);
    EXPECT_EQ(c.lfHeight, lf.lfHeight) << c.height << " style " << c.style;
    EXPECT_EQ(0, lf.lfWidth) << "width 0 leaves the width to the mapper";
    EXPECT_EQ(c.weight, lf.lfWeight) << c.style;
    EXPECT_EQ(c.italic, lf.lfItalic) << c.style;
    EXPECT_EQ(c.underline, lf.lfUnderline) << c.style;
    EXPECT_EQ(c.strikeOut, lf.lfStrikeOut) << c.style;
    EXPECT_EQ(0, lf.lfEscapement + lf.lfOrientation + lf.lfCharSet + lf.lfOutPrecision + lf.lfClipPrecision +
                     lf.lfQuality + lf.lfPitchAndFamily);
    EXPECT_STREQ("Arial", lf.lfFaceName);
    EXPECT_NE(static_cast<HGDIOBJ>(font), GetCurrentObject(dc, OBJ_FONT)) << "the font is not left selected";
    DeleteObject(font);
  }
}

TEST_F(TextFont, FaceNameIsCopiedUpToTheRecordsRoom) {
  const std::string longName(40, 'F');
  const std::pair<const char*, std::string> cases[] = {
      {"Arial", "Arial"}, {"", ""}, {longName.c_str(), std::string(LF_FACESIZE - 1, 'F')}};
  for (auto& [face, stored] : cases) {
    HFONT font = CreateTextFont(dc, face, 76, 0, 0, 1);
    EXPECT_EQ(stored, FontRecordOf(font).lfFaceName);
    DeleteObject(font);
  }
}

// Under a mapping of ten logical units to a pixel the font height shows the
// point's y itself, so a size can be found where the physical and the
// logical resolution of this device part by a pixel: each path must read
// its own device capabilities, and DPtoLP must be applied.
TEST_F(TextFont, EachResolutionPathReadsItsOwnCapabilitiesThroughTheMapping) {
  const float physicalY = AxisDotsPerInch(GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE), 0, 0);
  const float logicalY = static_cast<float>(GetDeviceCaps(dc, LOGPIXELSY));
  int size = 0;
  for (int s = 1; s < 2000 && !size; ++s) {
    if (TenthsToDevice(s, physicalY) != TenthsToDevice(s, logicalY)) size = s;
  }
  ASSERT_NE(0, size) << "no size tells the two resolutions of this device apart";
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, 10, 10, nullptr);
  SetViewportExtEx(dc, 1, 1, nullptr);
  const std::pair<int, float> paths[] = {{0, physicalY}, {1, logicalY}};
  for (auto& [useLogPixels, dpi] : paths) {
    HFONT font = CreateTextFont(dc, "Arial", size, 0, 0, useLogPixels);
    EXPECT_EQ(-TenthsToDevice(size, dpi), FontRecordOf(font).lfHeight)
        << "size " << size << ", useLogPixels " << useLogPixels;
    DeleteObject(font);
  }
}

TEST_F(TextFont, WidthScalesTheMeasuredAverageWidth) {
  HFONT natural = CreateTextFont(dc, "Arial", 76, 0, 0, 1);
  const int average = MetricsOf(dc, natural).tmAveCharWidth;
  ASSERT_GT(average, 2);
  const HGDIOBJ selected = GetCurrentObject(dc, OBJ_FONT);
  const int places = FreeGdiPlaces();
  const int widths[] = {38, 76, 152};
  for (int width : widths) {
    HFONT font = CreateTextFont(dc, "Arial", 76, width, 0, 1);
    const LOGFONTA lf = FontRecordOf(font);
    EXPECT_EQ(-10, lf.lfHeight) << width;
    EXPECT_EQ(FontWidthFor(TenthsToDevice(width, 96.0f), 101, average), lf.lfWidth) << width;
    EXPECT_NEAR(average * width / 76.0, MetricsOf(dc, font).tmAveCharWidth, 1.0) << width;
    EXPECT_EQ(selected, GetCurrentObject(dc, OBJ_FONT)) << "the measured font is selected out again";
    DeleteObject(font);
  }
  EXPECT_EQ(places, FreeGdiPlaces()) << "the measured font is deleted";
  DeleteObject(natural);
}

TEST_F(TextFont, LeavesGraphicsModeTransformOriginsAndFontAsTheyWere) {
  HFONT own = CreateFontA(-30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  struct Case {
    const char* name;
    int graphicsMode;
    XFORM transform;
    POINT viewportOrigin, windowOrigin;
    int width;
  };
  const Case cases[] = {
      {"compatible mode, origins moved", GM_COMPATIBLE, {1, 0, 0, 1, 0, 0}, {1000, 700}, {37, -20}, 0},
      {"advanced mode, scaled by 3", GM_ADVANCED, {3, 0, 0, 3, 0, 0}, {0, 0}, {0, 0}, 0},
      {"advanced mode, scaled, sheared, moved", GM_ADVANCED, {2, 0.5f, 0, 4, 15, -9}, {-40, 60}, {5, 500}, 0},
      {"advanced mode, scaled by 3, width measured", GM_ADVANCED, {3, 0, 0, 3, 0, 0}, {300, 300}, {7, 7}, 76},
  };
  for (const Case& c : cases) {
    SetGraphicsMode(dc, GM_ADVANCED);
    ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    SetWorldTransform(dc, &c.transform);
    SetGraphicsMode(dc, c.graphicsMode);
    SetViewportOrgEx(dc, c.viewportOrigin.x, c.viewportOrigin.y, nullptr);
    SetWindowOrgEx(dc, c.windowOrigin.x, c.windowOrigin.y, nullptr);
    const HGDIOBJ previous = SelectObject(dc, own);

    HFONT font = CreateTextFont(dc, "Arial", 76, c.width, 0, 1);
    EXPECT_EQ(-10, FontRecordOf(font).lfHeight) << c.name << ": the transform and origins are not applied";
    EXPECT_EQ(c.graphicsMode, GetGraphicsMode(dc)) << c.name;
    XFORM after{};
    SetGraphicsMode(dc, GM_ADVANCED);
    GetWorldTransform(dc, &after);
    EXPECT_EQ(0, memcmp(&c.transform, &after, sizeof after)) << c.name;
    POINT viewport{}, window{};
    GetViewportOrgEx(dc, &viewport);
    GetWindowOrgEx(dc, &window);
    EXPECT_EQ(c.viewportOrigin.x, viewport.x) << c.name;
    EXPECT_EQ(c.viewportOrigin.y, viewport.y) << c.name;
    EXPECT_EQ(c.windowOrigin.x, window.x) << c.name;
    EXPECT_EQ(c.windowOrigin.y, window.y) << c.name;
    EXPECT_EQ(static_cast<HGDIOBJ>(own), GetCurrentObject(dc, OBJ_FONT)) << c.name;
    EXPECT_EQ(MM_TEXT, GetMapMode(dc)) << c.name;
    SelectObject(dc, previous);
    DeleteObject(font);
  }
  DeleteObject(own);
}

// A metafile DC reports no physical size (and no resolution at all here):
// nothing is divided by zero, and the font still comes out.
TEST(TextFontDevice, NoPhysicalSizeFallsBackToLogicalPixels) {
  HDC metafile = CreateMetaFileA(nullptr);
  ASSERT_EQ(0, GetDeviceCaps(metafile, HORZSIZE));
  ASSERT_EQ(0, GetDeviceCaps(metafile, VERTSIZE));
  const int expected = FontHeightFor(TenthsToDevice(76, static_cast<float>(GetDeviceCaps(metafile, LOGPIXELSY))));
  HFONT font = CreateTextFont(metafile, "Arial", 76, 0, 0, 0);
  ASSERT_NE(nullptr, font);
  const LOGFONTA lf = FontRecordOf(font);
  EXPECT_EQ(expected, lf.lfHeight);
  EXPECT_EQ(0, lf.lfWidth);
  DeleteObject(font);
  DeleteMetaFile(CloseMetaFile(metafile));
}

// --- The About box -----------------------------------------------------------

std::vector<UINT> beeps;
void RecordBeep(UINT type) { beeps.push_back(type); }

class AboutBox : public testing::Test {
 protected:
  void SetUp() override {
    beeps.clear();
    SetBeepObserver(RecordBeep);
  }
  void TearDown() override {
    if (dialog) DestroyWindow(dialog);
    SetShellOpenObserver(nullptr);
    SetBeepObserver(nullptr);
  }
  // The box made modeless, at the screen's top left, shown and painted.
  void Open() {
    dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                AboutDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    textArea = GetDlgItem(dialog, IDC_ABOUT_TEXT);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(dialog);
  }
  void Close() {
    DestroyWindow(dialog);
    dialog = nullptr;
  }
  void Repaint() { RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN); }
  std::vector<SeenShellCall>& shellCalls = RecordShellCalls();
  HWND dialog = nullptr;
  HWND textArea = nullptr;
};

// Where ink lies in a band of rows of a capture.
struct Ink {
  int left = -1, right = -1, top = -1, bottom = -1;
  bool Any() const { return left >= 0; }
};
Ink InkIn(const Capture& c, uint32_t background, int top, int bottom) {
  Ink ink;
  for (int y = std::max(top, 0); y < std::min(bottom, c.height); ++y) {
    for (int x = 0; x < c.width; ++x) {
      if (c.At(x, y) == background) continue;
      if (!ink.Any() || x < ink.left) ink.left = x;
      if (!ink.Any() || x > ink.right) ink.right = x;
      if (ink.top < 0) ink.top = y;
      ink.bottom = y;
    }
  }
  return ink;
}

uint32_t MostCommon(const Capture& c) {
  std::map<uint32_t, int> counts;
  for (uint32_t p : c.pixels) ++counts[p];
  return std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

TEST_F(AboutBox, DrawsTheHeadingOverTheBodyCentredLineByLine) {
  Open();
  RECT area;
  GetClientRect(textArea, &area);
  HDC dc = GetDC(textArea);
  const Capture c = CaptureDC(dc, area.right, area.bottom);
  HFONT body = CreateTextFont(dc, "Arial", 76, 0, 0, 0);
  HFONT heading = CreateTextFont(dc, "Arial", 125, 0, 1, 0);
  const int line = MetricsOf(dc, body).tmHeight;
  const int headingHeight = MetricsOf(dc, heading).tmHeight;
  // The ink width a text of one line would have, give or take its side bearings.
  auto extent = [&](HFONT font, const char* text) {
    SIZE s{};
    const HGDIOBJ previous = SelectObject(dc, font);
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &s);
    SelectObject(dc, previous);
    return static_cast<int>(s.cx);
  };
  ASSERT_GT(line, 5);
  ASSERT_LE(headingHeight, 2 * line) << "the heading fits the body's two empty lines";
  ASSERT_LE(20 * line, area.bottom) << "twenty lines fit the text area";

  const uint32_t background = MostCommon(c);
  // Dark text drawn on a transparent background: nothing lighter than the
  // text area's own colour in any channel.
  int lighter = 0;
  for (uint32_t p : c.pixels) {
    for (int shift : {0, 8, 16}) lighter += ((p >> shift) & 0xFF) > ((background >> shift) & 0xFF);
  }
  EXPECT_EQ(0, lighter) << "text cells are not filled";
  const Ink top = InkIn(c, background, 0, 2 * line);
  ASSERT_TRUE(top.Any()) << "heading";
  EXPECT_LT(top.bottom, headingHeight) << "the heading is drawn from the top";
  EXPECT_NEAR(extent(heading, "*** Nivalo ***"), top.right - top.left + 1, 4) << "heading, bold 12.5 pt";
  EXPECT_NEAR(area.right - 1 - top.right, top.left, 3) << "heading centred";

  // Lines 3 to 20 of the body, 1 being the top; the known ones by their width.
  struct Line {
    int number;
    const char* text;  // null: a notice line of our own wording
    bool inked;
  };
  const Line lines[] = {
      {3, "version 0.1.5.3 for Windows 95/98/NT", true},
      {4, nullptr, true},  {5, nullptr, false},  {6, nullptr, true},  {7, nullptr, false},
      {8, nullptr, true},  {9, nullptr, false},  {10, nullptr, true}, {11, nullptr, false},
      {12, "New versions and information can be obtained from:", true},
      {13, nullptr, false}, {14, NIVALO_WEB_ADDRESS, true}, {15, nullptr, false},
      {16, nullptr, true}, {17, nullptr, false}, {18, "Happy holidays!", true},
      {19, nullptr, true}, {20, nullptr, true},  {21, nullptr, false},
  };
  for (const Line& l : lines) {
    const Ink ink = InkIn(c, background, (l.number - 1) * line, l.number * line);
    EXPECT_EQ(l.inked, ink.Any()) << "line " << l.number;
    if (!ink.Any() || !l.inked) continue;
    EXPECT_NEAR(area.right - 1 - ink.right, ink.left, 3) << "line " << l.number << " centred";
    EXPECT_GT(ink.left, 0) << "line " << l.number << " fits on one line";
    if (l.text) {
      EXPECT_NEAR(extent(body, l.text), ink.right - ink.left + 1, 3) << l.text;
    }
  }
  EXPECT_FALSE(InkIn(c, background, 21 * line, area.bottom).Any()) << "nothing after line 20";

  // Repainting, whole or in part, draws the same again; the dialog's own
  // painting after the text does not wipe it.
  Repaint();
  EXPECT_TRUE(c == CaptureDC(dc, area.right, area.bottom)) << "after a full repaint";
  RECT part = {20, 20, 60, 40};
  InvalidateRect(dialog, &part, TRUE);
  UpdateWindow(dialog);
  EXPECT_TRUE(c == CaptureDC(dc, area.right, area.bottom)) << "after a partial repaint";

  DeleteObject(body);
  DeleteObject(heading);
  ReleaseDC(textArea, dc);
}

// One paint keeps exactly one font; a font kept by an earlier box would be
// deleted by this paint, and show as none kept.
TEST_F(AboutBox, RepaintingKeepsOneFontAndNoDeviceContextAndTheBoxFreesIt) {
  Open();  // once, so that what the system makes on first use is made
  Close();
  const int closed = FreeGdiPlaces();
  dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                              AboutDialogProc, 0);
  ASSERT_NE(nullptr, dialog);
  const int unpainted = FreeGdiPlaces();
  SendMessageA(dialog, WM_PAINT, 0, 0);
  const int painted = FreeGdiPlaces();
  EXPECT_EQ(unpainted - 1, painted) << "a paint keeps one font";
  ShowWindow(dialog, SW_SHOW);
  for (int i = 0; i < 25; ++i) {
    Repaint();
    SendMessageA(dialog, WM_PAINT, 0, 0);
  }
  EXPECT_EQ(painted, FreeGdiPlaces()) << "fifty paints keep no more than the first";
  EXPECT_TRUE(beeps.empty());
  Close();
  EXPECT_EQ(closed, FreeGdiPlaces()) << "the box leaves nothing behind";
}

TEST_F(AboutBox, TheWebButtonOpensThePageThroughTheShell) {
  Open();
  HWND button = GetDlgItem(dialog, IDC_ABOUT_WEB_PAGE);
  char caption[100] = "";
  GetWindowTextA(button, caption, sizeof caption);
  EXPECT_STREQ(NIVALO_WEB_ADDRESS, caption);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_WEB_PAGE, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  ASSERT_EQ(1u, shellCalls.size());
  const SeenShellCall& call = shellCalls[0];
  EXPECT_EQ(nullptr, call.owner);
  EXPECT_EQ("open", call.verb);
  EXPECT_EQ("Explorer.exe", call.file);
  EXPECT_EQ(NIVALO_WEB_ADDRESS, call.parameters);
  EXPECT_FALSE(call.hasDirectory);
  EXPECT_EQ(SW_SHOWNORMAL, call.show);
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the box stays open";
}

TEST_F(AboutBox, AnswersEachMessageAsADialogProcedureShould) {
  Open();
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    INT_PTR result;
  };
  const Case cases[] = {
      {"WM_INITDIALOG", WM_INITDIALOG, 0, TRUE},
      {"WM_PAINT lets the default painting go on", WM_PAINT, 0, FALSE},
      {"web button", WM_COMMAND, MAKEWPARAM(IDC_ABOUT_WEB_PAGE, BN_CLICKED), TRUE},
      {"another command", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), FALSE},
      {"WM_TIMER", WM_TIMER, 1, FALSE},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, AboutDialogProc(dialog, c.message, c.wParam, 0)) << c.name;
}

// The modal box as the settings dialog runs it, with one message sent to it
// after its first paint. A marker posted behind that message finds the box still
// open only when the message did not end it; a timer gives up on a box that
// never ends.
constexpr INT_PTR kStillOpen = 7;
constexpr INT_PTR kGaveUp = 8;
constexpr UINT_PTR kGiveUpTimer = 99;
UINT sentMessage;
WPARAM sentWParam;

bool sent;

INT_PTR CALLBACK EndingProbe(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    sent = false;
    SetTimer(dialog, kGiveUpTimer, 5000, nullptr);
  } else if (message == WM_PAINT && !sent) {  // after the first paint, with a font in the slot
    sent = true;
    PostMessageA(dialog, sentMessage, sentWParam, 0);
    PostMessageA(dialog, WM_APP, 0, 0);
  } else if (message == WM_APP) {
    EndDialog(dialog, kStillOpen);
    return TRUE;
  } else if (message == WM_TIMER && wParam == kGiveUpTimer) {
    EndDialog(dialog, kGaveUp);
    return TRUE;
  }
  return AboutDialogProc(dialog, message, wParam, lParam);
}

TEST_F(AboutBox, OkAndTheCloseCommandEndTheModalBox) {
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    INT_PTR result;
  };
  const Case cases[] = {
      {"OK", WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0},
      {"close", WM_CLOSE, 0, 0},
      {"web button", WM_COMMAND, MAKEWPARAM(IDC_ABOUT_WEB_PAGE, BN_CLICKED), kStillOpen},
  };
  auto run = [](UINT message, WPARAM wParam) {
    sentMessage = message;
    sentWParam = wParam;
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, EndingProbe, 0);
  };
  run(WM_CLOSE, 0);  // once, so that what the system makes on first use is made
  for (const Case& c : cases) {
    const int places = FreeGdiPlaces();
    EXPECT_EQ(c.result, run(c.message, c.wParam)) << c.name;
    EXPECT_EQ(places, FreeGdiPlaces()) << c.name << ": the box leaves nothing behind";
  }
}

}  // namespace
