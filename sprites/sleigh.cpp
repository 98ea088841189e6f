#include "sprites/sleigh.h"

#include <algorithm>

#include "images/bitmap_rect.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "snow/cover.h"
#include "snow/flakes.h"
#include "snow/occupied.h"
#include "snow/random.h"
#include "snow/wind.h"
#include "sprites/sprite_blit.h"
#include "surface/surface.h"

namespace {

// The sprite sets by kind: frame n shows the n-th image with the n-th mask.
// The medium set's images are numbered out of animation order, and the
// blinking set borrows the large plain set's frames 1 and 3.
struct SleighSet {
  int images[4];
  int masks[4];
};
const SleighSet kSets[kSleighKinds] = {
    {{IDB_SLEIGH_SMALL_PLAIN_0, IDB_SLEIGH_SMALL_PLAIN_1, IDB_SLEIGH_SMALL_PLAIN_2, IDB_SLEIGH_SMALL_PLAIN_3},
     {IDB_SLEIGH_SMALL_PLAIN_0_MASK, IDB_SLEIGH_SMALL_PLAIN_1_MASK, IDB_SLEIGH_SMALL_PLAIN_2_MASK, IDB_SLEIGH_SMALL_PLAIN_3_MASK}},
    {{IDB_SLEIGH_MEDIUM_PLAIN_0, IDB_SLEIGH_MEDIUM_PLAIN_1, IDB_SLEIGH_MEDIUM_PLAIN_2, IDB_SLEIGH_MEDIUM_PLAIN_3},
     {IDB_SLEIGH_MEDIUM_PLAIN_0_MASK, IDB_SLEIGH_MEDIUM_PLAIN_1_MASK, IDB_SLEIGH_MEDIUM_PLAIN_2_MASK, IDB_SLEIGH_MEDIUM_PLAIN_3_MASK}},
    {{IDB_SLEIGH_LARGE_PLAIN_0, IDB_SLEIGH_LARGE_PLAIN_1, IDB_SLEIGH_LARGE_PLAIN_2, IDB_SLEIGH_LARGE_PLAIN_3},
     {IDB_SLEIGH_LARGE_PLAIN_0_MASK, IDB_SLEIGH_LARGE_PLAIN_1_MASK, IDB_SLEIGH_LARGE_PLAIN_2_MASK, IDB_SLEIGH_LARGE_PLAIN_3_MASK}},
    {{IDB_SLEIGH_SMALL_RED_0, IDB_SLEIGH_SMALL_RED_1, IDB_SLEIGH_SMALL_RED_2, IDB_SLEIGH_SMALL_RED_3},
     {IDB_SLEIGH_SMALL_RED_0_MASK, IDB_SLEIGH_SMALL_RED_1_MASK, IDB_SLEIGH_SMALL_RED_2_MASK, IDB_SLEIGH_SMALL_RED_3_MASK}},
    {{IDB_SLEIGH_MEDIUM_RED_0, IDB_SLEIGH_MEDIUM_RED_1, IDB_SLEIGH_MEDIUM_RED_2, IDB_SLEIGH_MEDIUM_RED_3},
     {IDB_SLEIGH_MEDIUM_RED_0_MASK, IDB_SLEIGH_MEDIUM_RED_1_MASK, IDB_SLEIGH_MEDIUM_RED_2_MASK, IDB_SLEIGH_MEDIUM_RED_3_MASK}},
    {{IDB_SLEIGH_LARGE_RED_0, IDB_SLEIGH_LARGE_RED_1, IDB_SLEIGH_LARGE_RED_2, IDB_SLEIGH_LARGE_RED_3},
     {IDB_SLEIGH_LARGE_RED_0_MASK, IDB_SLEIGH_LARGE_RED_1_MASK, IDB_SLEIGH_LARGE_RED_2_MASK, IDB_SLEIGH_LARGE_RED_3_MASK}},
    {{IDB_SLEIGH_LARGE_RED_0, IDB_SLEIGH_LARGE_PLAIN_1, IDB_SLEIGH_LARGE_RED_2, IDB_SLEIGH_LARGE_PLAIN_3},
     {IDB_SLEIGH_LARGE_RED_0_MASK, IDB_SLEIGH_LARGE_PLAIN_1_MASK, IDB_SLEIGH_LARGE_RED_2_MASK, IDB_SLEIGH_LARGE_PLAIN_3_MASK}},
};

SleighState StartState() {
  SleighState s{};
  s.bobCount = 1;
  s.bobSign = 1;
  return s;
}
SleighState sleigh = StartState();

// The sleigh's saved background lives in one bitmap as large as the largest
// set, made and selected into its DC once with the scene.
constexpr int kBackgroundWidth = 192;
constexpr int kBackgroundHeight = 48;
HDC backgroundDC = nullptr;
HGDIOBJ backgroundStart = nullptr;

constexpr int kRightPushCap = 60;
constexpr int kLeftPushCap = 30;

// A speed beyond the screen's width moves no faster: one move of that width
// crosses the screen already. So bounded, a gust's push adds to it safely.
int Speed() {
  const int width = Surface().screenWidth;
  return std::clamp(Settings().SleighSpeed, -width, width);
}

RECT FrameRect(int frame, int x, int y) {
  RECT size{0, 0, 0, 0};
  BitmapRect(&size, sleigh.sleighMasks[frame & 3]);
  return RECT{x, y, x + size.right, y + size.bottom};
}

// The move of one step by the wind's phase (calm unless the sleigh follows
// the wind); the order of the random draws is part of what the user sees.
void Move() {
  const SettingsRecord& s = Settings();
  const int phase = s.SleighInWind ? Wind().phase : kWindCalm;
  const int d = Wind().direction;
  if (phase == kWindCalm) {
    sleigh.sleighX += Speed();
    if (RandomBelow(1000) > 900) {
      sleigh.sleighY += s.SleighClimb;
    } else if (RandomBelow(1000) > 900) {
      sleigh.sleighY -= s.SleighClimb;
    }
  } else if (phase == kWindRising) {
    // The push climbs as a sawtooth and drops back to nothing.
    if (d == 1) {
      sleigh.gustPush += 2;
      if (sleigh.gustPush > kRightPushCap) sleigh.gustPush = 0;
    } else {
      sleigh.gustPush += 1;
      if (sleigh.gustPush > kLeftPushCap) sleigh.gustPush = 0;
    }
    sleigh.sleighX += Speed() + d * sleigh.gustPush;
    if (++sleigh.bobCount > 5) {
      sleigh.bobCount = 0;
      sleigh.bobSign = -sleigh.bobSign;
    }
    if (RandomBelow(100) > 70) sleigh.sleighY += s.SleighClimb + sleigh.bobCount * sleigh.bobSign;
    if (RandomBelow(100) > 95) sleigh.bobSign = -sleigh.bobSign;
  } else if (phase == kWindFalling) {
    sleigh.gustPush -= 3;
    if (sleigh.gustPush < 0) sleigh.gustPush = 0;
    sleigh.sleighX += Speed() + (d * sleigh.gustPush) / 4;
  }
}

}  // namespace

const SleighState& Sleigh() { return sleigh; }

void CreateSleighDrawing() {
  void* bits = nullptr;
  sleigh.sleighBackground = MakeSpriteDib(kBackgroundWidth, kBackgroundHeight, &bits);
  if (!sleigh.sleighBackground) return;
  backgroundDC = CreateCompatibleDC(nullptr);
  backgroundStart = SelectObject(backgroundDC, sleigh.sleighBackground);
}

void DeleteSleighDrawing() {
  if (backgroundDC) {
    SelectObject(backgroundDC, backgroundStart);
    DeleteDC(backgroundDC);
  }
  if (sleigh.sleighBackground) DeleteObject(sleigh.sleighBackground);
  backgroundDC = nullptr;
  sleigh.sleighBackground = nullptr;
}

void LoadSleighSprites(HINSTANCE instance, int kind) {
  DeleteSleighSprites();
  if (instance && kind >= 0 && kind < kSleighKinds) {
    for (int f = 0; f < 4; ++f) {
      sleigh.sleighImages[f] = LoadSprite(instance, kSets[kind].images[f]);
      sleigh.sleighMasks[f] = LoadSprite(instance, kSets[kind].masks[f]);
      PrepareSprite(sleigh.sleighMasks[f], sleigh.sleighImages[f]);
    }
  }
  StartSleighPass();
}

void StartSleighPass() {
  RECT mask{0, 0, 0, 0};
  BitmapRect(&mask, sleigh.sleighMasks[0]);
  sleigh.sleighFrame = 0;
  sleigh.sleighWidth = mask.right;
  sleigh.sleighX = -sleigh.sleighWidth;
  // At a height on the primary monitor; the pass crosses the whole window.
  const RECT& primary = Surface().monitors[0].window;
  sleigh.sleighY = primary.top + RandomBelow(primary.bottom - primary.top);
  sleigh.backgroundPending = 1;
}

void DrawSleigh(HDC dc, int frame, int x, int y) {
  if (!backgroundDC) return;  // a sleigh that could not be taken off again
  const RECT r = FrameRect(frame, x, y);
  DrawMasked(dc, sleigh.sleighMasks[frame & 3], sleigh.sleighImages[frame & 3], x, y,
             r.right - r.left, r.bottom - r.top);
  OccupiedAddRect(r);
}

void MoveSleigh(HDC dc) {
  if (!sleigh.backgroundPending) RestoreSleighBackground(dc, sleigh.sleighX, sleigh.sleighY);
  Move();
  if (sleigh.sleighX > Surface().screenWidth) StartSleighPass();
  if (sleigh.sleighX < -sleigh.sleighWidth) sleigh.sleighX = -sleigh.sleighWidth;
  if (sleigh.sleighY < 5) sleigh.sleighY = 5;
  sleigh.sleighFrame = (sleigh.sleighFrame + 1) % 4;
  const RECT r = FrameRect(sleigh.sleighFrame, sleigh.sleighX, sleigh.sleighY);
  if (OccupiedIntersects(r)) EraseFlakesUnder(dc, r);
  SaveSleighBackground(dc);
  DrawSleigh(dc, sleigh.sleighFrame, sleigh.sleighX, sleigh.sleighY);
}

void SaveSleighBackground(HDC dc) {
  const RECT r = FrameRect(sleigh.sleighFrame, sleigh.sleighX, sleigh.sleighY);
  if (backgroundDC) BitBlt(backgroundDC, 0, 0, r.right - r.left, r.bottom - r.top, dc, r.left, r.top, SRCCOPY);
  sleigh.backgroundPending = 0;
}

void RestoreSleighBackground(HDC dc, int x, int y) {
  const RECT r = FrameRect(sleigh.sleighFrame, x, y);
  if (backgroundDC) BitBlt(dc, x, y, r.right - r.left, r.bottom - r.top, backgroundDC, 0, 0, SRCCOPY);
  WrittenOver(r);
  OccupiedRemoveRect(r);
}

void RemoveSleigh(int frame, int x, int y) {
  const SurfaceState& surface = Surface();
  if (!surface.window) return;
  const RECT r = FrameRect(frame, x, y);
  // Off the snow the background comes back; over settled snow it is white.
  SetRectRgn(surface.eraseRegion, r.left, r.top, r.right, r.bottom);
  const HRGN cover = CoverRegion();
  CombineRgn(surface.eraseRegion, surface.eraseRegion, cover, RGN_DIFF);
  RepaintRegion(surface.eraseRegion);
  SetRectRgn(surface.eraseRegion, r.left, r.top, r.right, r.bottom);
  CombineRgn(surface.eraseRegion, surface.eraseRegion, cover, RGN_AND);
  HDC dc = TakeSurfaceDC();
  FillRgn(dc, surface.eraseRegion, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  WrittenOver(r);
  GiveBackSurfaceDC(dc);
}

void ApplySleighSwitch(int newValue, int oldValue) {
  if (!Surface().window) return;
  if (oldValue != 0 && newValue == 0) {
    RemoveSleigh(sleigh.sleighFrame, sleigh.sleighX, sleigh.sleighY);
  } else if (oldValue == 0 && newValue != 0) {
    StartSleighPass();
  }
}

void ChangeSleighKind(HINSTANCE instance, int kind) {
  if (!Surface().window) return;  // a scene loads its sprites when it is made
  const int x = sleigh.sleighX, y = sleigh.sleighY;
  RemoveSleigh(sleigh.sleighFrame, x, y);
  LoadSleighSprites(instance, kind);
  sleigh.sleighX = x;
  sleigh.sleighY = y;
}

void DeleteSleighSprites() {
  for (int f = 0; f < 4; ++f) {
    ForgetSprite(sleigh.sleighMasks[f], sleigh.sleighImages[f]);
    if (sleigh.sleighImages[f]) DeleteObject(sleigh.sleighImages[f]);
    if (sleigh.sleighMasks[f]) DeleteObject(sleigh.sleighMasks[f]);
    sleigh.sleighImages[f] = sleigh.sleighMasks[f] = nullptr;
  }
}

// A test seam (tests/support/seams.h); the program never calls it.
void ResetSleigh() {
  DeleteSleighSprites();
  HBITMAP background = sleigh.sleighBackground;
  sleigh = StartState();
  sleigh.sleighBackground = background;
}
