// Snow on the desktop in the shipped saver: two coloured windows of this
// program stand on the screen when Nivalo.scr /s starts; the saver shows
// them as they were, and the snow that stays settles in a band on each
// one's top edge, no higher than the window snow depth and never inside.
#include <gtest/gtest.h>

#include "blackbox/blackbox_support.h"
#include "support/test_support.h"

namespace {

constexpr int kDepth = 15;
constexpr uint32_t kWhite = 0xFFFFFF;

struct ColouredWindow {
  RECT rect;
  uint32_t colour;  // 0xRRGGBB
  HWND window = nullptr;
};

int Count(const RECT& r, const std::function<bool(int, int)>& counted) {
  int n = 0;
  for (int y = std::max(0L, r.top); y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += counted(x, y);
  return n;
}

class DesktopBlackBox : public WithoutStoredSettings {};

TEST_F(DesktopBlackBox, SnowSettlesOnTheWindowsTopEdgesAsTheyWere) {
  ColouredWindow windows[] = {{{100, 300, 420, 520}, 0xC03030}, {{560, 200, 900, 450}, 0x3050C0}};
  for (ColouredWindow& w : windows) {  // each of a class that paints it in its colour
    const std::string name = "NivaloColour" + std::to_string(w.colour);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = CreateSolidBrush(RGB(w.colour >> 16, w.colour >> 8 & 0xFF, w.colour & 0xFF));
    wc.lpszClassName = name.c_str();
    RegisterClassA(&wc);
    const RECT& r = w.rect;
    w.window = CreateWindowExA(0, name.c_str(), "", WS_POPUP, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(w.window, SW_SHOWNA);
    UpdateWindow(w.window);
  }
  auto windowsShow = [&windows](const Capture& c) {
    return std::all_of(std::begin(windows), std::end(windows),
                       [&c](const ColouredWindow& w) { return c.At(w.rect.left + 5, w.rect.top + 5) == w.colour; });
  };
  ASSERT_TRUE(windowsShow(AwaitScreen(windowsShow, 5000)));
  StoreSettings([](SettingsRecord& s) {
    s.SnowOnDesktop = 1, s.FlakeCount = 500, s.WindowSnowDepth = kDepth, s.FramePeriod = 10;
    s.SleighOn = 0, s.SceneryOn = 0, s.WindOn = 0, s.MaskPath[0] = 0;
  });

  Saver saver("/s");
  ASSERT_NE(nullptr, AwaitWindow(kSaverClass, "Screen Saver"));
  // Snow that stays is white in several readings, each taken once most of
  // the falling flakes have moved on since the one before.
  std::vector<Capture> readings;
  auto settled = [&readings](int x, int y) {
    return std::all_of(readings.begin(), readings.end(), [&](const Capture& c) { return c.At(x, y) == kWhite; });
  };
  auto band = [](const ColouredWindow& w) { return RECT{w.rect.left, w.rect.top - kDepth, w.rect.right, w.rect.top}; };
  const RECT sky{0, 20, 1024, 150};  // where nothing settles
  auto movedOn = [&sky](const Capture& before, const Capture& now) {
    const int white = Count(sky, [&](int x, int y) { return now.At(x, y) == kWhite; });
    const int stayed = Count(sky, [&](int x, int y) { return now.At(x, y) == kWhite && before.At(x, y) == kWhite; });
    return white > 50 && stayed * 10 < white;
  };
  auto enoughOnEveryBand = [&](const Capture& c) {
    if (!readings.empty() && !movedOn(readings.back(), c)) return false;
    readings.push_back(c);
    if (readings.size() > 5) readings.erase(readings.begin());
    for (const ColouredWindow& w : windows) {
      const RECT b = band(w);
      if (readings.size() < 5 || Count(b, settled) * 4 < (b.right - b.left) * kDepth) return false;
    }
    return true;
  };
  AwaitScreen(enoughOnEveryBand, 60000);
  for (const ColouredWindow& w : windows) {
    const RECT& r = w.rect;
    const RECT inside{r.left, r.top, r.right, r.bottom};
    const RECT above{r.left, r.top - kDepth - 20, r.right, r.top - kDepth};
    const Capture& last = readings.back();
    EXPECT_GT(Count(inside, [&](int x, int y) { return last.At(x, y) == w.colour; }) * 10,
              (r.right - r.left) * (r.bottom - r.top) * 9) << "the window shows as it was";
    EXPECT_GE(Count(band(w), settled) * 4, (r.right - r.left) * kDepth) << "snow lies on its edge";
    EXPECT_EQ(0, Count(above, settled)) << "none higher than the depth";
    EXPECT_EQ(0, Count(inside, settled)) << "none over the window";
  }
  PressKey(VK_SPACE);
  EXPECT_EQ(0, saver.Exit());
  for (ColouredWindow& w : windows) DestroyWindow(w.window);
}

}  // namespace
