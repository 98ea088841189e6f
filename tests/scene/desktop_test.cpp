// Snow on the desktop: the scene over the desktop as it was, its windows
// listed and its screens copied through the test seams, drawn on a memory
// surface. Snow settles on the uncovered top edges of the windows up to the
// window snow depth and nowhere else; a desktop that cannot be seen leaves
// the usual background without a word. The system's own window list, and
// frames in the screen's pixels brought into an enlarged process's
// coordinates.
#include <gtest/gtest.h>

#include <thread>

#include "images/desktop.h"
#include "snow/cover.h"
#include "snow/flakes.h"
#include "snow/ledges.h"
#include "support/memory_surface.h"
#include "support/shown_desktop.h"
#include "surface/surface.h"
#include "system/optional_calls.h"
#include "system/screen_capture.h"
#include "system/window_list.h"

bool operator==(const Ledge& a, const Ledge& b) {
  return std::tie(a.left, a.right, a.edge, a.ceiling) == std::tie(b.left, b.right, b.edge, b.ceiling);
}
std::ostream& operator<<(std::ostream& o, const Ledge& l) {
  return o << "{" << l.left << ", " << l.right << ", " << l.edge << ", " << l.ceiling << "}";
}

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

std::vector<RECT> monitors;  // of the desktop laid out

// The scene on the desktop, with snow on it and the given settings, drawn
// on surface, its background painted.
HWND StartOnDesktop(const MemorySurface& surface, const SettingsEdit& edit, HWND parent = nullptr) {
  ShowDesktopThroughSeams();
  return StartOnMonitors(monitors, &surface, [&](SettingsRecord& s) {
    s.SnowOnDesktop = 1, s.FlakeCount = 500, s.WindOn = 0, s.SleighOn = 0, s.SceneryOn = 0;
    s.SnowOnGround = 0, s.MaskPath[0] = 0;  // the ledges alone hold snow
    edit(s);
  }, parent);
}

void StopOnDesktop(HWND saver) {
  StopOnMonitors(saver);
  ShowSystemsDesktop();
}

// Whether the cover lies where the ledges' snow may: from each ceiling
// down to the seed band under the edge.
bool CoverWithin(const std::vector<Ledge>& ledges) {
  HRGN outside = CreateRectRgn(0, 0, 0, 0), one = CreateRectRgn(0, 0, 0, 0);
  int left = CombineRgn(outside, CoverRegion(), nullptr, RGN_COPY);
  for (const Ledge& l : ledges) {
    SetRectRgn(one, l.left, l.ceiling, l.right, l.edge + 2);
    left = CombineRgn(outside, outside, one, RGN_DIFF);
  }
  return DeleteObject(one), DeleteObject(outside), left == NULLREGION;
}

// White pixels outside the ledges' rows, and inside them.
std::pair<int, int> SnowOutsideAndOnLedges(const MemorySurface& surface, const std::vector<Ledge>& ledges) {
  int outside = 0, on = 0;
  for (int y = 0; y < surface.span.bottom; ++y)
    for (int x = 0; x < surface.span.right; ++x) {
      if (surface.At(x, y) != kWhite) continue;
      const bool onLedge = std::any_of(ledges.begin(), ledges.end(), [&](const Ledge& l) {
        return x >= l.left && x < l.right && y >= l.ceiling && y < l.edge;
      });
      (onLedge ? on : outside)++;
    }
  return {outside, on};
}

// Everything falling is wiped: what stays is resting snow.
void StopSnowfall() {
  ChangeSettings([](SettingsRecord& s) { s.SnowfallOn = 0; });
  ApplySnowfallSwitch(0, 1);
}

// Two monitors side by side; a window in front of another's top edge, one
// across both monitors, one reaching above the screen and one maximised on
// the second monitor, behind the others.
void LayOutDesktop() {
  monitors = {{0, 0, 480, 360}, {480, 0, 960, 360}};
  shownWindows = {{{200, 100, 360, 170}, 0x3040C0}, {{20, -50, 180, 60}, 0x803080},
                  {{60, 140, 300, 300}, 0xC03030}, {{400, 200, 700, 330}, 0x30A040},
                  {{480, 0, 960, 360}, 0xC0C040}};
  shownCopy = ShownCopy::kDesktop;
}

TEST(DesktopSnow, SettlesOnTheUncoveredTopEdgesUpToTheDepth) {
  LayOutDesktop();
  for (int depth : {15, 0}) {
    SCOPED_TRACE(depth);
    MemorySurface surface(monitors);
    HWND saver = StartOnDesktop(surface, [depth](SettingsRecord& s) { s.WindowSnowDepth = depth; });
    ASSERT_TRUE(DesktopTaken());
    ASSERT_EQ(1u, copiedAreas.size());
    EXPECT_TRUE(EqualRect(&copiedAreas[0], &surface.span)) << "one copy of both screens";
    for (const ShownWindow& w : shownWindows) {
      const POINT p{(std::max(w.rect.left, 0L) + w.rect.right) / 2, (std::max(w.rect.top, 0L) + w.rect.bottom) / 2};
      EXPECT_EQ(w.colour, surface.At(p.x, p.y)) << "the windows show as they were";
    }
    EXPECT_EQ(kWallpaper, surface.At(400, 20));
    const std::vector<Ledge> expected =
        depth ? std::vector<Ledge>{{200, 360, 100, 85}, {60, 200, 140, 125}, {400, 700, 200, 185}}
              : std::vector<Ledge>{};
    EXPECT_EQ(expected, Ledges());

    RunFrames(saver, 400);
    EXPECT_TRUE(CoverWithin(expected)) << "no snow settles higher than the depth, or elsewhere";
    for (const Ledge& l : expected) {
      const RECT pile{l.left, l.ceiling, l.right, l.edge};
      EXPECT_TRUE(RectInRegion(CoverRegion(), &pile)) << "snow piles up on " << l;
      // A mound, not a slab: its ends stay low.
      for (const RECT& end : {RECT{l.left, l.ceiling, l.left + 6, l.ceiling + 6},
                              RECT{l.right - 6, l.ceiling, l.right, l.ceiling + 6}})
        EXPECT_FALSE(RectInRegion(CoverRegion(), &end)) << "the ends of " << l << " stay low";
    }
    StopSnowfall();
    const auto [outside, on] = SnowOutsideAndOnLedges(surface, expected);
    EXPECT_EQ(0, outside) << "no snow hangs into a window or stands above the depth";
    EXPECT_GT(on, depth ? 600 : -1) << "the snow on the ledges shows";

    if (depth) {
      // Less depth: the snow above it goes from the screen and the cover.
      ChangeSettings([](SettingsRecord& s) { s.WindowSnowDepth = 5; });
      ApplySnowDepth(5, 15);
      std::vector<Ledge> lower = expected;
      for (Ledge& l : lower) l.ceiling = l.edge - 5;
      EXPECT_EQ(lower, Ledges());
      EXPECT_TRUE(CoverWithin(lower));
      EXPECT_EQ(0, SnowOutsideAndOnLedges(surface, lower).first);
    }
    StopOnDesktop(saver);
  }
}

// A desktop that cannot be seen, the setting off, or a preview in the
// display settings: the grey background, no ledges, no box.
TEST(DesktopSnow, FallsBackWithoutAWord) {
  const struct {
    const char* name;
    ShownCopy copy;
    int on;
    bool preview;
    size_t copies;
  } cases[] = {{"one colour", ShownCopy::kOneColour, 1, false, 1},
               {"no copy", ShownCopy::kNone, 1, false, 1},
               {"off", ShownCopy::kDesktop, 0, false, 0},
               {"a preview", ShownCopy::kDesktop, 1, true, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LayOutDesktop();
    shownCopy = c.copy;
    MemorySurface surface(monitors);
    HWND parent = c.preview ? CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240,
                                              nullptr, nullptr, nullptr, nullptr)
                            : nullptr;
    auto& boxes = RecordMessageBoxes();
    HWND saver = StartOnDesktop(surface, [&c](SettingsRecord& s) { s.SnowOnDesktop = c.on; }, parent);
    EXPECT_EQ(c.copies, copiedAreas.size());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(DesktopTaken());
    EXPECT_TRUE(Ledges().empty());
    EXPECT_EQ(kGrey, surface.At(100, 250));
    StopOnDesktop(saver);
    if (parent) DestroyWindow(parent);
  }
}

// Larger than the bound, or on a desktop of its own: nothing is copied.
TEST(DesktopSnow, NothingIsCopiedBeyondTheMemoryBoundOrOffTheUsersDesktop) {
  LayOutDesktop();
  SetMonitorLister([] { return monitors; });
  ShowDesktopThroughSeams();
  const RECT k4{0, 0, 3840, 2160};
  const struct {
    const char* name;
    std::vector<RECT> monitors;
    size_t copies;
  } layouts[] = {
      {"three 4K monitors side by side", {k4, {3840, 0, 7680, 2160}, {7680, 0, 11520, 2160}}, 1},
      {"three 4K monitors corner to corner", {k4, {3840, 2160, 7680, 4320}, {7680, 4320, 11520, 6480}}, 0},
  };
  for (const auto& layout : layouts) {
    monitors = layout.monitors;
    shownCopy = ShownCopy::kNone;
    copiedAreas.clear();
    EXPECT_FALSE(TakeDesktop(DesktopArea(), nullptr));
    EXPECT_EQ(layout.copies, copiedAreas.size()) << layout.name;
  }
  LayOutDesktop();
  copiedAreas.clear();
  bool taken = true;
  std::thread([&taken] {
    HDESK own = CreateDesktopA("nivalo-saver-desktop", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    SetThreadDesktop(own);
    taken = TakeDesktop(DesktopArea(), nullptr);
    CloseDesktop(own);
  }).join();
  EXPECT_FALSE(taken);
  EXPECT_TRUE(copiedAreas.empty());
  EXPECT_TRUE(TakeDesktop(DesktopArea(), nullptr)) << "on the user's desktop";
  ForgetDesktop();
  SetMonitorLister(nullptr);
  ShowSystemsDesktop();
}

TEST(Ledges, LieWhereATopEdgeIsUncoveredOnAMonitorAndHasRoom) {
  const std::vector<RECT> one{{0, 0, 800, 600}}, two{{0, 0, 800, 600}, {800, 100, 1600, 700}};
  const struct {
    const char* name;
    std::vector<RECT> windows;
    std::vector<RECT> monitors;
    int depth;
    std::vector<Ledge> ledges;
  } cases[] = {
      {"two windows", {{100, 200, 300, 400}, {400, 300, 700, 500}}, one, 15,
       {{100, 300, 200, 185}, {400, 700, 300, 285}}},
      {"one in front of the other's edge", {{150, 150, 250, 250}, {100, 200, 300, 400}}, one, 15,
       {{150, 250, 150, 135}, {100, 150, 200, 185}, {250, 300, 200, 185}}},
      {"one in front ending above the edge", {{150, 150, 250, 192}, {100, 200, 300, 400}}, one, 15,
       {{150, 250, 150, 135}, {100, 150, 200, 185}, {150, 250, 200, 192}, {250, 300, 200, 185}}},
      {"one in front ending on the row above the edge", {{150, 150, 250, 200}, {100, 200, 300, 400}}, one, 15,
       {{150, 250, 150, 135}, {100, 150, 200, 185}, {250, 300, 200, 185}}},
      {"one behind", {{100, 200, 300, 400}, {150, 150, 250, 250}}, one, 15,
       {{100, 300, 200, 185}, {150, 250, 150, 135}}},
      {"maximised", {{0, 0, 800, 600}}, one, 15, {}},
      {"near the top", {{0, 6, 800, 600}}, one, 15, {{0, 800, 6, 0}}},
      {"above the top of the screen", {{100, -40, 300, 200}}, one, 15, {}},
      {"across two monitors", {{600, 300, 1000, 500}}, two, 15, {{600, 1000, 300, 285}}},
      {"on the top row of the second monitor", {{600, 100, 1000, 500}}, two, 15, {{600, 800, 100, 85}}},
      {"beside the shorter monitor", {{900, 20, 1000, 80}}, two, 15, {}},
      {"no depth", {{100, 200, 300, 400}}, one, 0, {}},
      {"an empty window", {{100, 200, 100, 400}}, one, 15, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.ledges, FindLedges(c.windows, c.monitors, c.depth)) << c.name;
}

// The system's list: visible windows front to back, and none of those that
// show nothing.
TEST(WindowList, ListsTheVisibleWindowsFrontToBack) {
  auto make = [](DWORD exStyle, DWORD style, RECT r) {
    return CreateWindowExA(exStyle, "STATIC", "", WS_POPUP | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
  };
  const RECT back{100, 100, 300, 250}, front{200, 150, 420, 330};
  HWND shown[] = {make(0, WS_VISIBLE, back), make(0, WS_VISIBLE, front)};
  HWND hidden[] = {make(0, 0, {10, 10, 50, 50}), make(0, WS_VISIBLE | WS_MINIMIZE, {10, 10, 50, 50}),
                   make(WS_EX_LAYERED | WS_EX_TRANSPARENT, WS_VISIBLE, {10, 10, 50, 50}),
                   make(0, WS_VISIBLE, {60, 60, 60, 90})};
  SetWindowPos(shown[1], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  std::vector<RECT> listed = DesktopWindowRects(nullptr);
  auto at = [&listed](const RECT& r) {
    return std::find_if(listed.begin(), listed.end(), [&r](const RECT& l) { return EqualRect(&l, &r); }) - listed.begin();
  };
  EXPECT_LT(at(front), at(back)) << "the front one first";
  EXPECT_LT(at(back), static_cast<ptrdiff_t>(listed.size()));
  for (HWND w : hidden) {
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(static_cast<ptrdiff_t>(listed.size()), at(r));
  }
  listed = DesktopWindowRects(shown[1]);
  EXPECT_EQ(static_cast<ptrdiff_t>(listed.size()), at(front)) << "the window left out";
  for (HWND w : shown) DestroyWindow(w);
  for (HWND w : hidden) DestroyWindow(w);
}

TEST(WindowList, FramesInTheScreensPixelsComeIntoTheProcesssCoordinates) {
  // At 150 %: 3840 x 2160 shown as 2560 x 1440; at 200 % left of it.
  const std::vector<MonitorSpaces> enlarged{{{0, 0, 2560, 1440}, {0, 0, 3840, 2160}},
                                            {{-960, 0, 0, 540}, {-1920, 0, 0, 1080}}};
  const std::vector<MonitorSpaces> plain{{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}}};
  const struct {
    RECT physical;
    std::vector<MonitorSpaces> monitors;
    RECT scaled;
  } cases[] = {
      {{300, 150, 1500, 900}, enlarged, {200, 100, 1000, 600}},
      {{-1900, 100, -1000, 700}, enlarged, {-950, 50, -500, 350}},
      {{-5000, -10, 30, 30}, enlarged, {-3333, -7, 20, 20}},  // beside every monitor: the first's scale
      {{7, 8, 700, 800}, plain, {7, 8, 700, 800}},
      {{7, 8, 700, 800}, {}, {7, 8, 700, 800}},
  };
  for (const auto& c : cases) {
    const RECT r = ScaledFromPhysical(c.physical, c.monitors);
    EXPECT_EQ(std::tuple(c.scaled.left, c.scaled.top, c.scaled.right, c.scaled.bottom),
              std::tuple(r.left, r.top, r.right, r.bottom));
  }
}

}  // namespace
