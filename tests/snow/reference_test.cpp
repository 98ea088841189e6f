// The saver's snow, sleigh and trees beside the same rules drawn the plain
// way; whole runs repeated.
#include "snow/snow_help.h"
#include "sprites/trees.h"

// The shapes, a byte a row, the leftmost pixel in the top bit.
const unsigned char kShapes[3][7] = {{0xA0, 0x40, 0xA0},
                                     {0x44, 0xD6, 0x28, 0x54, 0x28, 0xD6, 0x44},
                                     {0x28, 0x10, 0x92, 0x6C, 0x92, 0x10, 0x28}};

// The flakes, the sleigh and the trees drawn the plain way on a copy of the
// screen: a compatible bitmap per slot for its background, each in a memory
// DC of its own, the shapes ORed on from memory DCs, sprites drawn through a
// new work bitmap and memory DCs each time, the sleigh's background in a new
// bitmap each pass, the occupied set a region changed with CombineRgn and
// tested with RectInRegion, the cover tested with PtInRegion.
struct Plain {
  const int w = Surface().screenWidth, h = Surface().screenHeight;
  Flake f[kFlakeSlots];
  HDC cell[kFlakeSlots], screen, shapes[3];
  WindState wind = Wind();
  Lcg g;  // the generator's copy
  SleighState sleigh = Sleigh();  // its bitmaps are the plain ones below
  HBITMAP background, images[4], masks[4], tree = SpriteFile("tree"), treeMask = SpriteFile("tree-mask");
  int counter = SceneFrameCounter();
  HRGN cover = Rgn({}), room = Rgn({}), occupied = Rgn({}), rect = Rgn({});

  static HDC With(HBITMAP b) {  // a memory DC that holds b
    HDC memory = CreateCompatibleDC(nullptr);
    return SelectObject(memory, b), memory;
  }
  explicit Plain(HDC dc) : screen(With(CreateCompatibleBitmap(dc, w, h))) {
    BitBlt(screen, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    for (int k = 0; k < 3; ++k) {
      unsigned char bits[16] = {};
      for (int row = 0; row < 7; ++row) bits[row * 2] = kShapes[k][row];
      shapes[k] = With(CreateBitmap(16, 8, 1, 1, bits));
    }
    for (int i = 0; i < kFlakeSlots; ++i) f[i] = FlakeAt(i);
    for (HDC& c : cell) c = With(CreateCompatibleBitmap(dc, 7, 7));
    CombineRgn(cover, Surface().coverRegion, nullptr, RGN_COPY);
    CombineRgn(room, Surface().roomRegion, nullptr, RGN_COPY);
    for (int k = 0; k < 4; ++k) {  // the large sleigh's, frame by frame
      images[k] = SpriteFile("sleigh-large-plain-" + std::to_string(k));
      masks[k] = SpriteFile("sleigh-large-plain-" + std::to_string(k) + "-mask");
    }
    background = CreateCompatibleBitmap(dc, 177, 34);
  }
  void Masked(HBITMAP mask, HBITMAP image, int x, int y, int sw, int sh) {
    HBITMAP bitmap = CreateCompatibleBitmap(screen, sw, sh);
    HDC work = With(bitmap), m = With(mask), i = With(image);
    BitBlt(work, 0, 0, sw, sh, screen, x, y, SRCCOPY);
    BitBlt(work, 0, 0, sw, sh, m, 0, 0, SRCPAINT);
    BitBlt(work, 0, 0, sw, sh, i, 0, 0, SRCAND);
    BitBlt(screen, x, y, sw, sh, work, 0, 0, SRCCOPY);
    for (HDC d : {work, m, i}) DeleteDC(d);
    DeleteObject(bitmap);
  }
  void Sprite(int frame, int x, int y) {  // DrawSleigh
    Masked(masks[frame], images[frame], x, y, 177, 34);
    Combine(occupied, RECT{x, y, x + 177, y + 34}, RGN_OR);
  }
  void CopyBackground(bool save) {
    HDC b = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(b, background);
    if (save) BitBlt(b, 0, 0, 177, 34, screen, sleigh.sleighX, sleigh.sleighY, SRCCOPY);
    else BitBlt(screen, sleigh.sleighX, sleigh.sleighY, 177, 34, b, 0, 0, SRCCOPY);
    SelectObject(b, old), DeleteDC(b);
  }
  void StartPass() {
    sleigh.sleighFrame = 0, sleigh.sleighX = -177, sleigh.sleighY = g.Below(h), sleigh.backgroundPending = 1;
    DeleteObject(background);
    background = CreateCompatibleBitmap(screen, 177, 34);
  }
  void Move() {
    const SettingsRecord& s = Settings();
    SleighState& z = sleigh;
    if (!z.backgroundPending) CopyBackground(false), Combine(occupied, RECT{z.sleighX, z.sleighY, z.sleighX + 177, z.sleighY + 34}, RGN_DIFF);
    const int phase = s.SleighInWind ? wind.phase : kWindCalm, d = wind.direction;
    if (phase == kWindCalm) {
      z.sleighX += s.SleighSpeed;
      if (g.Below(1000) > 900) z.sleighY += s.SleighClimb;
      else if (g.Below(1000) > 900) z.sleighY -= s.SleighClimb;
    } else if (phase == kWindRising) {
      z.gustPush += d == 1 ? 2 : 1;
      if (z.gustPush > (d == 1 ? 60 : 30)) z.gustPush = 0;
      z.sleighX += s.SleighSpeed + d * z.gustPush;
      if (++z.bobCount > 5) z.bobCount = 0, z.bobSign = -z.bobSign;
      if (g.Below(100) > 70) z.sleighY += s.SleighClimb + z.bobCount * z.bobSign;
      if (g.Below(100) > 95) z.bobSign = -z.bobSign;
    } else if (phase == kWindFalling) {
      z.gustPush = std::max(0, z.gustPush - 3);
      z.sleighX += s.SleighSpeed + d * z.gustPush / 4;
    }
    if (z.sleighX > w) StartPass();
    z.sleighX = std::max(z.sleighX, -177);
    z.sleighY = std::max(z.sleighY, 5);
    z.sleighFrame = (z.sleighFrame + 1) % 4;
    const RECT r{z.sleighX, z.sleighY, z.sleighX + 177, z.sleighY + 34};
    if (RectInRegion(occupied, &r)) {  // EraseFlakesUnder
      for (int i = 0; i < s.FlakeCount; ++i) {
        const int n = f[i].kind ? 7 : 3;
        const RECT fr{f[i].x, f[i].y, f[i].x + n, f[i].y + n};
        RECT overlap;
        if (!f[i].unsaved && IntersectRect(&overlap, &fr, &r)) BitBlt(screen, f[i].x, f[i].y, n, n, cell[i], 0, 0, SRCCOPY);
      }
    }
    CopyBackground(true);
    z.backgroundPending = 0;
    Sprite(z.sleighFrame, z.sleighX, z.sleighY);
  }
  void Combine(HRGN target, const RECT& r, int mode) {
    SetRectRgn(rect, r.left, r.top, r.right, r.bottom);
    CombineRgn(target, target, rect, mode);
  }
  void Spawn(Flake& p) {  // in calm air x, y at the top; in a gust y, x in the windward third
    const SettingsRecord& s = Settings();
    const bool calm = wind.phase == kWindCalm;
    const int gustY = calm ? 0 : g.Below(h);
    const int x = calm ? g.Below(w) : wind.direction == 1 ? g.Below(w / 3) : w - g.Below(w / 3);
    const int y = calm ? g.Below(20) : gustY, dx = g.Below(s.FlakeDrift) + 1;
    p = Flake{x, y, g.Below(100) > 50 ? -dx : dx, g.Below(s.FlakeSpeed) + 3, g.Below(3), kJustSpawned, false, true};
  }
  void Update(Flake& p, HDC saved) {
    const SettingsRecord& s = Settings();
    const int n = p.kind ? 7 : 3, x0 = p.x, y0 = p.y;
    if (!p.hidden && p.cover != kJustSpawned) Combine(occupied, RECT{p.x, p.y, p.x + n, p.y + n}, RGN_DIFF);
    const int t = g.Below(s.FlakeWobble), sign = g.Below(1000) > 500 ? -1 : 1;
    p.dx = std::clamp(p.dx + sign * t, -s.FlakeDrift, s.FlakeDrift);
    if (wind.phase == kWindOver) wind = WindState{kWindCalm, 0, wind.direction};
    if (wind.phase == kWindRising && wind.strength > s.GustMax) {
      wind.strength = s.GustMax;
      if (g.Below(10000) > 9950) wind = WindState{kWindRising, s.GustMax / 3, -wind.direction};
    }
    if (wind.phase == kWindFalling)
      p.dx = (std::abs(p.dx) + g.Below(s.FlakeWobble + 1) - s.FlakeWobble / 2) * wind.direction;
    const bool gust = wind.phase == kWindRising || wind.phase == kWindFalling;
    p.x += p.dx + (gust ? wind.direction * wind.strength : 0);
    p.y += p.dy;
    const int cx = p.x + n / 2;
    const bool below = PtInRegion(cover, cx, p.y + n), touch = below || PtInRegion(cover, cx, p.y);
    if (!p.hidden && p.cover == kClearOfCover && !p.unsaved) BitBlt(screen, x0, y0, n, n, saved, 0, 0, SRCCOPY);
    const RECT r{p.x, p.y, p.x + n, p.y + n};
    p.hidden = RectInRegion(occupied, &r) != 0;
    if (p.hidden) p.unsaved = true;
    else Combine(occupied, r, RGN_OR);
    if (p.y > h || (wind.phase != kWindCalm && (p.x > w || p.x < 0))) return Spawn(p);
    if (!p.hidden || touch) {
      BitBlt(saved, 0, 0, n, n, screen, p.x, p.y, SRCCOPY);
      BitBlt(screen, p.x, p.y, n, n, shapes[p.kind], 0, 0, SRCPAINT);
      p.unsaved = false;
    }
    p.cover = touch ? kOnCover : kClearOfCover;
    if (below && PtInRegion(room, cx, p.y))  // its two bottom rows join the cover
      Combine(cover, RECT{p.x, p.y + n - 2, p.x + n, p.y + n}, RGN_OR);
  }
  void Frame() {
    const SettingsRecord& s = Settings();
    Combine(occupied, RECT{0, 0, w, h}, RGN_AND);
    if (s.SleighOn && ++counter % s.SleighFrameDivider == 0) Move();
    else if (s.SleighOn) Sprite(sleigh.sleighFrame, sleigh.sleighX, sleigh.sleighY);
    for (int i = 0; i < s.FlakeCount; ++i) Update(f[i], cell[i]);
    for (int t = 0; s.SceneryOn && t < kTrees; ++t) Masked(treeMask, tree, TreePlace(t).x, TreePlace(t).y, 31, 32);
  }
  void WindEvent(HWND saver, UINT_PTR id) {  // and the saver's
    RunWindTimer(saver, id);
    if (id == kCalmTimer) wind = WindState{kWindRising, 0, g.Below(10) > 4 ? 1 : -1};
    if (id == kRiseEndTimer) wind.phase = kWindFalling;
    if (id == kFallEndTimer) wind.phase = kWindOver;
    wind.strength += (id == kRiseStepTimer) - (id == kFallStepTimer);
    if (wind.strength <= 0 && id == kFallStepTimer) wind = WindState{kWindCalm, 0, wind.direction};
  }
};

static std::array<int, 7> Of(const SleighState& z) {
  return {z.sleighX, z.sleighY, z.sleighFrame, z.backgroundPending, z.gustPush, z.bobCount, z.bobSign};
}

// The wind timers before a frame: a gust every 350 frames after 150 calm
// ones, rising for 120 with a step every frame (so long past GustMax), then
// falling for 80 with a step every other frame.
static std::vector<UINT_PTR> GustTimers(int frame) {
  const int t = frame % 350;
  std::vector<UINT_PTR> ids;
  if (t == 149) ids.push_back(kCalmTimer);
  if (t >= 150 && (t < 270 || t % 2)) ids.push_back(t < 270 ? kRiseStepTimer : kFallStepTimer);
  if (t == 269 || t == 349) ids.push_back(t == 269 ? kRiseEndTimer : kFallEndTimer);
  return ids;
}

// Both from the generator's start, with the settings so changed; end gets the last screen.
static void SideBySide(int frames, int offset, const SettingsEdit& edit, Capture* end) {
  ResetRandom();  // each run as in a process of its own
  ResetWind();
  ResetSleigh();
  ResetScene();
  HWND saver = StartSaver(edit);
  PaintDetail(saver);
  Plain plain(GetDC(saver));
  int freePlaces = 0;
  for (int frame = 0; frame < frames; ++frame) {
    for (UINT_PTR id : GustTimers(frame + offset)) plain.WindEvent(saver, id);
    RunFrames(saver, 1);
    plain.Frame();
    for (int i = 0; i < kFlakeSlots; ++i) ASSERT_EQ(Of(plain.f[i]), Slot(i)) << frame << ":" << i;
    ASSERT_EQ(Of(plain.wind), Of(Wind())) << frame;
    ASSERT_EQ(Of(plain.sleigh), Of(Sleigh())) << frame;
    ASSERT_EQ(plain.g.Next(), RandomNext()) << frame;
    if (frame == 100) freePlaces = FreeGdiPlaces();
    if (frame % 50) continue;
    ASSERT_TRUE(CaptureDC(plain.screen, plain.w, plain.h) == CaptureSaver(saver)) << frame;
    ASSERT_TRUE(EqualRgn(plain.cover, Surface().coverRegion)) << frame;
    ASSERT_TRUE(Equal(OccupiedAsRegion(), plain.occupied)) << frame;
  }
  EXPECT_EQ(freePlaces, FreeGdiPlaces()) << "frames and gusts left GDI objects behind";
  RECT pile;  // without a mask, the cover grows along the ground to about the depth
  GetRgnBox(Surface().coverRegion, &pile);
  EXPECT_TRUE(Settings().MaskPath[0] || (pile.top >= plain.h - 42 && pile.top <= plain.h - 10)) << pile.top;
  *end = CaptureSaver(saver);
  StopSaver(saver);
}

// Frames, gusts and whole scenes leave no GDI objects behind; two runs of the
// same settings give the same pixels. The sleigh flies through the snow.
TEST(SnowReference, MatchesThePlainDrawingRepeatsExactlyAndLeaksNothing) {
  Capture first, second;
  auto few = [](SettingsRecord& s) { s.FlakeCount = 25; };
  SideBySide(2001, 0, few, &first);
  SideBySide(2001, 0, few, &second);
  EXPECT_TRUE(first == second);
  SideBySide(600, 140, [](SettingsRecord& s) { s.FlakeCount = 500, s.MaskPath[0] = 0, s.SleighFrameDivider = 1; },
             &first);
  SideBySide(300, 140, [](SettingsRecord& s) { s.FlakeCount = 500, s.SleighInWind = 0, s.SceneryOn = 0; }, &first);
  StopSaver(StartSaver());
  const int freePlaces = FreeGdiPlaces();
  StopSaver(StartSaver());
  EXPECT_EQ(freePlaces, FreeGdiPlaces()) << "a scene left GDI objects behind";
}
