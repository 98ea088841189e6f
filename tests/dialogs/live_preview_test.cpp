// The settings dialog's live preview in this process: the real scene in its
// own window behind the dialog, and every change made through the dialog's
// own controls, seen in the scene's pixels and state.
#include "dialogs/live_preview.h"
#include "dialogs/settings_dialog.h"
#include "images/desktop.h"
#include "images/image_files.h"
#include "snow/ledges.h"
#include "snow/snow_help.h"
#include "support/shown_desktop.h"
#include "sprites/trees.h"
#include "system/file_dialog.h"
#include "system/optional_calls.h"
#include "system/process_state.h"
#include "system/timer.h"

namespace {

std::string fileAnswer;  // what the system's file dialog chooses

BOOL AnswerFileDialog(OPENFILENAMEA* request) {
  strcpy(request->lpstrFile, fileAnswer.c_str());
  return TRUE;
}

void Calm(SettingsRecord& s) { s.WindOn = 0, s.SnowfallOn = 0, s.SceneryOn = 0, s.MaskPath[0] = 0; }

class LivePreview : public testing::Test {
 public:
  HWND dialog = nullptr, live = nullptr;
  std::vector<SeenMessageBox>* boxes = nullptr;

  // The dialog as the system opens it, but driven by the test instead of
  // its own loop, with Preview pressed; the generator and the wind at their
  // start from then on.
  void Open(const SettingsEdit& edit = [](SettingsRecord&) {}) {
    InitProcessState(GetModuleHandleA(nullptr));
    boxes = &RecordMessageBoxes();
    SetFileDialogStandIn(AnswerFileDialog);
    StoreSettings(edit);
    ResetSettingsProcessState();
    dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                                SettingsDialogProc, 0);
    Press();
    live = LivePreviewWindow();
    ASSERT_NE(nullptr, live);
    SettleScene(live);
  }
  void Close() {
    DestroyWindow(dialog);
    dialog = live = nullptr;
    ClearStoredSettings();
  }
  void TearDown() override {
    if (dialog) Close();
    SetFileDialogStandIn(nullptr);
    SetTimerObserver(nullptr);
  }

  void Click(int control) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), 0); }
  void Press() {  // the Preview button, which stays down until pressed again
    CheckDlgButton(dialog, IDC_LIVE_PREVIEW, IsDlgButtonChecked(dialog, IDC_LIVE_PREVIEW) ? BST_UNCHECKED : BST_CHECKED);
    Click(IDC_LIVE_PREVIEW);
  }
  void Type(int control, int value) { SetDlgItemTextA(dialog, control, std::to_string(value).c_str()); }
  // A click that changes nothing: typed numbers and paths are read.
  void Read() { Click(IDC_SLEIGH_IN_WIND); }
  void Frames(int n) { RunFrames(live, n); }
  // Whether the scene's window repainted only the region's background.
  bool Repainted(const std::function<void()>& change, const std::function<HRGN()>& region) {
    const Capture before = Detail(live);
    change();
    return RepaintedIn(live, before, region());
  }
  // Whether the change armed the timer anew.
  bool Rearms(UINT_PTR id, const std::function<void()>& change) {
    const std::vector<SeenTimer>& armed = RecordTimers();
    change();
    return std::any_of(armed.begin(), armed.end(), [id](const SeenTimer& t) { return t.first == id; });
  }
};

// Where the active flakes from first to last are that are no snow.
std::vector<RECT> Loose(int first, int last) {
  std::vector<RECT> loose;
  for (int i = first; i < last; ++i)
    if (FlakeAt(i).cover == kClearOfCover) loose.push_back(FlakeRect(FlakeAt(i)));
  return loose;
}

// The first two rounds also make what the system keeps for later dialogs
// (under Wine, once, an object more in the second).
TEST_F(LivePreview, RunsBehindTheDialogTakesNoInputAndGoesWithIt) {
  int gdi = 0, user = 0;
  for (int round = 0; round < 22; ++round) {
    if (round == 2) gdi = FreeGdiPlaces(), user = FreeUserPlaces();
    Open();
    Frames(2);
    if (round == 0) {
      EXPECT_EQ(std::tuple(dialog, WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, live),
                std::tuple(GetWindow(live, GW_HWNDPREV), GetWindowLongA(live, GWL_EXSTYLE), Surface().window))
          << "right behind the dialog, never activated, not topmost";
      RECT r, m = MonitorOf(dialog);
      GetWindowRect(live, &r);
      EXPECT_TRUE(EqualRect(&r, &m) && Surface().screenWidth == m.right - m.left) << "covers the monitor";
      EXPECT_EQ(MA_NOACTIVATE, SendMessageA(live, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(live), 0));
      for (UINT input : {WM_LBUTTONDOWN, WM_KEYDOWN, WM_MOUSEMOVE, WM_ACTIVATEAPP}) SendMessageA(live, input, 0, 0);
      EXPECT_EQ(0, TakeMessages(live, WM_CLOSE)) << "input does not end it";
      Press();
      EXPECT_TRUE(!IsWindow(live) && !LivePreviewWindow() && !Surface().window) << "a second press ends it";
      Press();
      live = LivePreviewWindow();
    }
    const HWND was = live;
    Close();
    EXPECT_FALSE(IsWindow(was)) << "it goes with the dialog";
  }
  EXPECT_EQ(std::pair(gdi, user), std::pair(FreeGdiPlaces(), FreeUserPlaces()))
      << "twenty opens and closes left GDI or USER objects behind";
}

// One row for each control that hands a change on: what it is set to, and
// what the scene shows then.
struct HandOn {
  const char* control;
  SettingsEdit stored;
  std::function<void(LivePreview&)> change;
};
const HandOn kHandOns[] = {
    {"flake count up", SnowOnly, [](LivePreview& t) {
       t.Type(IDC_FLAKE_COUNT, 200), t.Read();
       // The new slots spawn in order, the first with the generator's first
       // draws: in calm air x, y at the top, the drift, its sign, the speed, the kind.
       const SettingsRecord& s = Settings();
       Lcg g;
       const int x = g.Below(Surface().screenWidth), y = g.Below(20), drift = g.Below(s.FlakeDrift) + 1;
       const int dx = g.Below(100) > 50 ? -drift : drift, dy = g.Below(s.FlakeSpeed) + 3;
       EXPECT_EQ((std::array<int, 8>{x, y, dx, dy, g.Below(3), kJustSpawned, 0, 1}), Slot(50));
       for (int i = 6; i < 150 * 6; ++i) g.Next();
       EXPECT_EQ(g.Next(), RandomNext()) << "six draws for each of the 150";
     }},
    {"flake count down, snowfall", SnowOnly, [](LivePreview& t) {
       t.Frames(3);
       CoverAddRect(RECT{0, 0, 512, 768});
       t.Frames(1);  // those over the left half are snow now, and stay
       for (const auto& [count, snowfall, first, last] : {std::array{20, 1, 20, 50}, std::array{20, 0, 0, 20}}) {
         const std::vector<RECT> loose = Loose(first, last);
         EXPECT_LT(loose.size(), size_t(last - first)) << "some are snow";
         EXPECT_TRUE(t.Repainted([&] {
           t.Type(IDC_FLAKE_COUNT, count);
           CheckDlgButton(t.dialog, IDC_SNOWFALL_ON, snowfall), t.Read();
         }, [&] { return Rgn(loose); })) << first;
       }
       t.Click(IDC_SNOWFALL_PICTURE);
       EXPECT_TRUE(Slot(0)[5] == -1 && Slot(19)[5] == -1 && Slot(20)[5] != -1) << "back on: the active slots spawn";
     }},
    {"speed, drift, wobble", [](SettingsRecord& s) { SnowOnly(s), s.FlakeCount = 0; }, [](LivePreview& t) {
       t.Type(IDC_FLAKE_SPEED, 3), t.Type(IDC_FLAKE_DRIFT, 1), t.Type(IDC_FLAKE_WOBBLE, 0), t.Type(IDC_FLAKE_COUNT, 100);
       t.Read();  // the new flakes spawn with the new numbers
       for (int i = 0; i < 100; ++i) EXPECT_TRUE(FlakeAt(i).dy >= 3 && FlakeAt(i).dy <= 5 && std::abs(FlakeAt(i).dx) == 1) << i;
       for (UINT_PTR id : {kCalmTimer, kRiseEndTimer}) RunWindTimer(t.live, id);
       t.Frames(5);  // a falling gust turns them downwind, no wobble changing their step
       for (int i = 0; i < 100; ++i) EXPECT_EQ(Wind().direction, FlakeAt(i).dx) << i;
     }},
    {"sleigh switch", [](SettingsRecord& s) { Calm(s), s.SleighFrameDivider = 1; }, [](LivePreview& t) {
       t.Frames(100);
       const SleighState z = Sleigh();
       CoverAddRect(RECT{z.sleighX, z.sleighY, z.sleighX + 60, z.sleighY + 34});  // settled snow under its back
       t.Click(IDC_SLEIGH_PICTURE);
       const Capture shot = CaptureSaver(t.live);
       int wrong = 0;
       for (int y = z.sleighY; y < z.sleighY + 34; ++y)
         for (int x = std::max(0, z.sleighX); x < z.sleighX + 177; ++x)
           wrong += shot.At(x, y) != (x < z.sleighX + 60 ? 0xFFFFFFu : kGrey);
       EXPECT_EQ(0, wrong) << "white over snow, the background elsewhere";
       t.Click(IDC_SLEIGH_PICTURE);
       EXPECT_EQ(std::tuple(-177, 0, 1), std::tuple(Sleigh().sleighX, Sleigh().sleighFrame, Sleigh().backgroundPending));
     }},
    {"sleigh size and red nose", [](SettingsRecord& s) { Calm(s), s.SleighFrameDivider = 1; }, [](LivePreview& t) {
       t.Frames(60);
       const SleighState was = Sleigh();
       t.Click(IDC_RED_NOSE_PICTURE);
       EXPECT_EQ(std::tuple(was.sleighX, was.sleighY, 0, 1), std::tuple(Sleigh().sleighX, Sleigh().sleighY,
                 Sleigh().sleighFrame, Sleigh().backgroundPending)) << "the new set goes on from where it was";
       EXPECT_NE(was.sleighImages[0], Sleigh().sleighImages[0]);
       HDC dc = GetDC(t.live);
       PatBlt(dc, was.sleighX, was.sleighY, 4, 34, BLACKNESS);  // where the next move leaves
       ReleaseDC(t.live, dc);
       t.Frames(1);
       EXPECT_EQ(0u, CaptureSaver(t.live).At(was.sleighX + 1, was.sleighY + 20)) << "its first move restores nothing";
       t.Click(IDC_SLEIGH_SMALL_PICTURE);
       RECT r{};
       BitmapRect(&r, Sleigh().sleighMasks[0]);
       EXPECT_EQ(std::pair(56L, 8L), std::pair(r.right, r.bottom));
     }},
    {"sleigh in the wind", [](SettingsRecord& s) { Calm(s), s.SleighFrameDivider = 1; }, [](LivePreview& t) {
       RunWindTimer(t.live, kCalmTimer);
       for (int i = 0; i < 10; ++i) RunWindTimer(t.live, kRiseStepTimer), t.Frames(1);
       for (int inWind : {1, 0}) {
         const int x = Sleigh().sleighX;
         t.Frames(1);
         EXPECT_EQ(inWind == 0, Sleigh().sleighX - x == 4) << "pushed by the gust: " << inWind;
         t.Click(IDC_SLEIGH_IN_WIND_PICTURE);
       }
     }},
    {"wind switch", SnowOnly, [](LivePreview& t) {
       RunWindTimer(t.live, kCalmTimer);
       EXPECT_EQ("35", ArmedTimers(t.live));
       t.Click(IDC_WIND_PICTURE);
       EXPECT_EQ("", ArmedTimers(t.live));
       t.Click(IDC_WIND_PICTURE);
       EXPECT_EQ("2", ArmedTimers(t.live));
     }},
    {"trees switch", [](SettingsRecord& s) { Calm(s), s.SceneryOn = 17; }, [](LivePreview& t) {
       t.Frames(2);
       const POINT was = TreePlace(0);
       EXPECT_NE(kGrey, CaptureSaver(t.live).At(was.x + 15, was.y + 16)) << "a tree stands there";
       POINT places[kTrees];
       for (int i = 0; i < kTrees; ++i) places[i] = TreePlace(i);
       t.Click(IDC_SCENERY_PICTURE);
       EXPECT_EQ(kGrey, CaptureSaver(t.live).At(was.x + 15, was.y + 16)) << "its place repainted";
       for (int i = 0; i < kTrees; ++i) EXPECT_TRUE(places[i].x != TreePlace(i).x || places[i].y != TreePlace(i).y) << "placed anew";
     }},
    {"snow on the mask", [](SettingsRecord& s) { s.SleighOn = s.SceneryOn = 0; }, [](LivePreview& t) {
       const int w = Surface().screenWidth, h = Surface().screenHeight;
       const HRGN cover = Surface().coverRegion, room = Surface().roomRegion;
       CoverAddRect(RECT{0, 0, w, h});
       HRGN outside = Rgn({{0, 0, w, h}}), edge = Rgn({});
       CombineRgn(outside, outside, room, RGN_DIFF);
       CombineRgn(edge, MaskEdgeRegion(), room, RGN_DIFF);
       EXPECT_TRUE(t.Repainted([&] { t.Click(IDC_SNOW_ON_MASK_PICTURE); }, [&] { return outside; }));
       EXPECT_TRUE(EqualRgn(room, cover)) << "only the room keeps its snow";
       t.Click(IDC_SNOW_ON_MASK_PICTURE);
       CombineRgn(edge, edge, room, RGN_OR);
       EXPECT_TRUE(Equal(edge, cover)) << "the mask's seeds come back";
     }},
    {"window snow depth", SnowOnly, [](LivePreview& t) {
       const Capture before = Detail(t.live);
       HRGN cover = Rgn({}), room = Rgn({});
       CombineRgn(cover, Surface().coverRegion, nullptr, RGN_COPY), CombineRgn(room, Surface().roomRegion, nullptr, RGN_COPY);
       t.Type(IDC_WINDOW_SNOW_DEPTH, 3), t.Read();
       EXPECT_TRUE(before == CaptureSaver(t.live) && Equal(cover, Surface().coverRegion) && Equal(room, Surface().roomRegion))
           << "without the desktop it changes nothing that is drawn";
     }},
    {"frame period", SnowOnly, [](LivePreview& t) {
       EXPECT_FALSE(t.Rearms(kFrameTimer, [&] { t.Read(); })) << "the same period leaves it running";
       EXPECT_TRUE(t.Rearms(kFrameTimer, [&] { t.Type(IDC_FRAME_PERIOD, 70), t.Read(); }));
     }},
    {"gust timings", SnowOnly, [](LivePreview& t) {
       // Each phase's timers, armed anew with the new periods; clicks leave them alone.
       const struct { UINT_PTR id; int control; UINT_PTR rearmed; const char* armed; } phases[] = {
           {0, IDC_GUST_PAUSE, kCalmTimer, "2"}, {kCalmTimer, IDC_GUST_RISE_STEP, kRiseEndTimer, "35"},
           {kRiseEndTimer, IDC_GUST_FALL_STEP, kFallEndTimer, "46"}, {kFallEndTimer, IDC_GUST_FALL_TIME, kFallEndTimer, "24"}};
       for (const auto& p : phases) {
         if (p.id) RunWindTimer(t.live, p.id);
         EXPECT_FALSE(t.Rearms(p.rearmed, [&] { t.Read(); })) << p.armed;
         EXPECT_TRUE(t.Rearms(p.rearmed, [&] { t.Type(p.control, 77 + p.id), t.Read(); })) << p.armed;
         EXPECT_EQ(p.armed, ArmedTimers(t.live));
       }
     }},
    {"Factory settings", [](SettingsRecord& s) { s.WindOn = s.SnowfallOn = 0, s.FlakeCount = 9; }, [](LivePreview& t) {
       const auto first = Slot(0), last = Slot(49);
       t.Click(IDC_FACTORY_SETTINGS);
       EXPECT_EQ("2", ArmedTimers(t.live)) << "the wind comes back";
       EXPECT_TRUE(Slot(0) != first && Slot(49) != last) << "snowfall comes back with the default count";
     }},
    {"Restore settings", SnowOnly, [](LivePreview& t) {
       const SettingsRecord shown = Settings();
       StoreSettings([](SettingsRecord& s) { SnowOnly(s), s.FlakeCount = 10; });
       ReplaceSettings(shown);
       t.Frames(3);
       EXPECT_TRUE(t.Repainted([&] { t.Click(IDC_RESTORE_SETTINGS); }, [] { return Rgn(Loose(10, 50)); }));
     }},
};

// Without the live preview the dialog's changes reach no scene: nothing is
// drawn from the generator, no sprite or picture is loaded.
TEST_F(LivePreview, WithoutItTheDialogsChangesTouchNoScene) {
  Open();
  Close();
  StoreSettings([](SettingsRecord&) {});
  dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, SettingsDialogProc, 0);
  const int gdi = FreeGdiPlaces();
  const auto slot = Slot(0);
  ResetRandom();
  fileAnswer = Write("red", BmpFile(4, 4, 24, 0, [](int, int) { return 0xFF0000; }));
  for (int control : {IDC_SLEIGH_SMALL_PICTURE, IDC_SCENERY_PICTURE, IDC_SLEIGH_PICTURE, IDC_SNOWFALL_PICTURE,
                      IDC_SLEIGH_PICTURE, IDC_SNOWFALL_PICTURE, IDC_GUST_RISE_STEP_PICTURE, IDC_CHOOSE_PICTURE}) {
    Click(control);
  }
  EXPECT_EQ(std::tuple(gdi, slot, Lcg().Next()), std::tuple(FreeGdiPlaces(), Slot(0), RandomNext()));
}

TEST_F(LivePreview, EveryHandOnOfTheDialogShowsInTheScene) {
  for (const HandOn& h : kHandOns) {
    SCOPED_TRACE(h.control);
    Open(h.stored);
    h.change(*this);
    Close();
  }
}

// A lower ground depth wipes what lost its room, 14 pixels wider and at
// least 7 rows higher, and the snow above the new surface (the room made to
// lose x 500..530 too); a higher one repaints nothing; no ground snow, no
// pile and no room.
TEST_F(LivePreview, GroundDepthAndSwitchWipeWhatLostItsPlace) {
  Open(SnowOnly);  // no mask: its null regions count as empty
  const int w = Surface().screenWidth, h = Surface().screenHeight;
  const HRGN cover = Surface().coverRegion, room = Surface().roomRegion;
  CoverAddRect(RECT{200, h - 38, 207, h - 36});
  CoverAddRect(RECT{300, h - 30, 307, h - 28});
  const struct { int depth; RECT wiped, kept; } cases[] = {
      {35, {486, h - 50, 544, h - 35}, {300, h - 30, 307, h - 28}},  // d = 5: copies 5, 10 up
      {33, {486, h - 47, 544, h - 33}, {300, h - 30, 307, h - 28}},  // d = 7: a copy 7 up
      {20, {486, h - 47, 544, h - 20}, {}}};
  for (const auto& c : cases) {
    Type(IDC_GROUND_SNOW_DEPTH, 40), Read();  // each case from 40
    SetRectRgn(room, 0, h - c.depth, w, h + 14);
    HRGN notch = Rgn({{500, h - 40, 530, h - c.depth}});
    CombineRgn(room, room, notch, RGN_OR), DeleteObject(notch);
    EXPECT_TRUE(Repainted([&] { Type(IDC_GROUND_SNOW_DEPTH, c.depth), Read(); }, [&] { return Rgn({c.wiped}); })) << c.depth;
    EXPECT_TRUE(Equal(Rgn({{0, h - c.depth, w, h + 14}}), room)) << c.depth;
    EXPECT_TRUE(Equal(Rgn({{0, h, w, h + 14}, c.kept}), cover)) << c.depth;
  }
  EXPECT_TRUE(Repainted([&] { Type(IDC_GROUND_SNOW_DEPTH, 60), Read(); }, [] { return Rgn({}); }));
  EXPECT_TRUE(Equal(Rgn({{0, h - 60, w, h + 14}}), room));
  EXPECT_TRUE(Repainted([&] { Click(IDC_SNOW_ON_GROUND_PICTURE); }, [&] { return Rgn({{0, h - 60, w, h + 7}}); }));
  EXPECT_TRUE(Equal(Rgn({}), cover) && Equal(Rgn({}), room));
  Click(IDC_SNOW_ON_GROUND_PICTURE);
  EXPECT_TRUE(Equal(Rgn({{0, h, w, h + 14}}), cover) && Equal(Rgn({{0, h - 60, w, h + 14}}), room));
}

// The gust pictures show the room and the cover inverted for a second, the
// animation standing still, while the dialog goes on answering; any click
// ends it at once.
TEST_F(LivePreview, GustPicturesFlashTheRoomAndTheCoverOnATimer) {
  Open(Calm);
  const int h = Surface().screenHeight;
  CoverAddRect(RECT{0, h - 10, 20, h});  // snow on the ground, in the room 40 rows high
  for (int picture : {IDC_GUST_RISE_STEP_PICTURE, IDC_GUST_FALL_STEP_PICTURE}) {
    const bool room = picture == IDC_GUST_RISE_STEP_PICTURE;
    const Capture before = Detail(live);
    Click(picture);
    const Capture flashed = CaptureSaver(live);
    for (POINT p : {POINT{5, 5}, POINT{5, h - 20}, POINT{5, h - 5}}) {
      const bool inverted = p.y == h - 5 || (room && p.y == h - 20);
      EXPECT_EQ(before.At(p.x, p.y) ^ (inverted ? 0xFFFFFFu : 0u), flashed.At(p.x, p.y)) << room << " at " << p.y;
    }
    EXPECT_EQ("", ArmedTimers(live, kFrameTimer)) << "the animation stands still";
    EXPECT_TRUE(KillTimer(live, kFlashTimer)) << "until the flash's timer";
    RunWindTimer(live, kFlashTimer);
    EXPECT_TRUE(before == CaptureSaver(live)) << "put back after its second";
    EXPECT_EQ("1", ArmedTimers(live, kFrameTimer));
  }
  const Capture before = Detail(live);
  Click(IDC_GUST_RISE_STEP_PICTURE);
  Read();
  EXPECT_TRUE(before == CaptureSaver(live)) << "a click ends it at once";
  EXPECT_EQ("1", ArmedTimers(live, kFrameTimer));
}

// A file chosen or typed, and a new layout, make the scene anew with them.
TEST_F(LivePreview, PictureLayoutAndMaskShowAtOnce) {
  const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN), x = W / 2 - 16, y = H / 2 - 14;
  const std::string red = Write("red", BmpFile(100, 100, 24, 0, [](int, int) { return 0xFF0000; }));
  const std::string block = Write("block", MaskFile(64, 48, [](int x, int y) { return x >= 16 && x < 48 && y >= 10 && y < 30; }));
  Open(Calm);
  fileAnswer = red;
  Click(IDC_CHOOSE_PICTURE);
  EXPECT_EQ(0xFF0000u, CaptureSaver(live).At(0, 0)) << "stretched over the screen";
  Click(IDC_LAYOUT_CENTRED_PICTURE);
  EXPECT_EQ(std::pair(kGrey, 0xFF0000u), std::pair(CaptureSaver(live).At(0, 0), CaptureSaver(live).At(W / 2, H / 2)));
  fileAnswer = block;
  Click(IDC_CHOOSE_MASK);
  EXPECT_TRUE(Equal(CreateRectRgn(x, y, x + 32, y + 20), MaskBodyRegion())) << "laid centred";
  SetDlgItemTextA(dialog, IDC_PICTURE_PATH, "");
  Read();
  EXPECT_EQ(kGrey, CaptureSaver(live).At(W / 2, H / 2)) << "a typed path at the next click";
  EXPECT_TRUE(boxes->empty());
}

// Snow on the desktop: Preview copies the dialog's monitor as it is then,
// the dialog left out of the windows; the switch shows the copy or the
// usual background at once, and the window snow depth sets the ledges' room.
TEST_F(LivePreview, ShowsTheDesktopAsItWasWhenPreviewWasPressed) {
  shownWindows = {{{100, 300, 400, 500}, 0xC03030}, {{550, 200, 900, 450}, 0x3050C0}};
  shownCopy = ShownCopy::kDesktop;
  ShowDesktopThroughSeams();
  Open([](SettingsRecord& s) { Calm(s), s.SnowOnDesktop = 1, s.WindowSnowDepth = 15; });
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  ASSERT_EQ(1u, copiedAreas.size());
  EXPECT_TRUE(EqualRect(&screen, &copiedAreas[0]) && leftOut == dialog) << "the monitor, the dialog left out";
  auto shows = [this](uint32_t wallpaper, uint32_t window, size_t ledges) {
    const Capture c = CaptureSaver(live);
    return std::tuple(c.At(10, 10), c.At(200, 400), Ledges().size()) == std::tuple(wallpaper, window, ledges);
  };
  EXPECT_TRUE(shows(kWallpaper, 0xC03030, 2));
  const RECT room{100, 285, 400, 295};  // above the edge, more than 5 rows up
  EXPECT_TRUE(RectInRegion(Surface().roomRegion, &room));
  Type(IDC_WINDOW_SNOW_DEPTH, 5), Read();
  EXPECT_FALSE(RectInRegion(Surface().roomRegion, &room)) << "less room";
  Click(IDC_SNOW_ON_DESKTOP_PICTURE);
  EXPECT_TRUE(shows(kGrey, kGrey, 0)) << "switched off";
  Click(IDC_SNOW_ON_DESKTOP_PICTURE);
  EXPECT_TRUE(shows(kWallpaper, 0xC03030, 2)) << "the same copy again";
  EXPECT_EQ(1u, copiedAreas.size());
  Press(), Press();
  EXPECT_EQ(2u, copiedAreas.size()) << "a new copy for each press";
  Close();
  ShowSystemsDesktop();
  EXPECT_FALSE(DesktopTaken()) << "it goes with the preview";
}

}  // namespace
