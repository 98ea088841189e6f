// The saver's flakes against a plain rendering of the same rules, run side
// by side from the same start: every flake slot its own bitmap made with
// CreateCompatibleBitmap and selected into a fresh memory DC for each save
// and restore, and the occupied set a real region changed with CombineRgn
// and tested with RectInRegion. The saver draws on its window, the plain
// rendering on a bitmap of the screen's size that starts with the window's
// pixels; flakes, wind, generator, cover and pixels must stay identical.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "scene/scene_state.h"
#include "snow/flakes.h"
#include "snow/random.h"
#include "snow/snow_support.h"
#include "snow/wind.h"
#include "support/test_support.h"

namespace {

struct PlainFlake {
  int x, y, dx, dy, kind, inCover, hidden;
  HBITMAP saveBitmap;
  int unsaved;
};

class PlainSnow {
 public:
  PlainSnow(HDC windowDC, int width, int height) : w(width), h(height) {
    screen = CreateCompatibleDC(windowDC);
    screenBitmap = CreateCompatibleBitmap(windowDC, w, h);
    screenStart = SelectObject(screen, screenBitmap);
    BitBlt(screen, 0, 0, w, h, windowDC, 0, 0, SRCCOPY);
    static const unsigned char patterns[3][8] = {
        {0xA0, 0x40, 0xA0}, {0x44, 0xD6, 0x28, 0x54, 0x28, 0xD6, 0x44},
        {0x28, 0x10, 0x92, 0x6C, 0x92, 0x10, 0x28}};
    for (int k = 0; k < 3; ++k) {
      unsigned char bits[16] = {};
      for (int row = 0; row < 8; ++row) bits[row * 2] = patterns[k][row];
      BITMAP bm{0, 16, 8, 2, 1, 1, bits};
      shapes[k] = CreateBitmapIndirect(&bm);
      SetRect(&extents[k], 0, 0, k == 0 ? 3 : 7, k == 0 ? 3 : 7);
    }
    for (HRGN* r : {&cover, &room, &occupied, &oldRect, &newRect, &scratch})
      *r = CreateRectRgn(0, 0, 0, 0);
    flakeDC = CreateCompatibleDC(screen);
    flakeDCStart = GetCurrentObject(flakeDC, OBJ_BITMAP);
  }
  ~PlainSnow() {
    for (PlainFlake& f : flakes) DeleteObject(f.saveBitmap);
    SelectObject(flakeDC, flakeDCStart);
    DeleteDC(flakeDC);
    for (HBITMAP s : shapes) DeleteObject(s);
    for (HRGN r : {cover, room, occupied, oldRect, newRect, scratch}) DeleteObject(r);
    SelectObject(screen, screenStart);
    DeleteDC(screen);
    DeleteObject(screenBitmap);
  }

  int Below(int n) { return rng.Below(n); }

  void Spawn(int i) {
    const SettingsRecord& s = Settings();
    PlainFlake& f = flakes[i];
    if (phase == 0) {
      f.x = Below(w);
      f.y = Below(20);
    } else {
      f.y = Below(h);
      f.x = direction == 1 ? Below(w / 3) : w - Below(w / 3);
    }
    f.dx = Below(s.FlakeDrift) + 1;
    if (Below(100) > 50) f.dx = -f.dx;
    f.dy = Below(s.FlakeSpeed) + 3;
    f.hidden = 0;
    f.inCover = -1;
    f.kind = Below(3);
    f.unsaved = 1;
    DeleteObject(f.saveBitmap);
    f.saveBitmap = CreateCompatibleBitmap(screen, extents[f.kind].right, extents[f.kind].bottom);
  }

  void Save(PlainFlake& f) {
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ start = SelectObject(memory, f.saveBitmap);
    SetMapMode(memory, GetMapMode(screen));
    BitBlt(memory, 0, 0, extents[f.kind].right, extents[f.kind].bottom, screen, f.x, f.y, SRCCOPY);
    SelectObject(memory, start);
    DeleteDC(memory);
    f.unsaved = 0;
  }

  void Restore(PlainFlake& f, int x, int y) {
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ start = SelectObject(memory, f.saveBitmap);
    SetMapMode(memory, GetMapMode(screen));
    BitBlt(screen, x, y, extents[f.kind].right, extents[f.kind].bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, start);
    DeleteDC(memory);
  }

  void Update(int i) {
    const SettingsRecord& s = Settings();
    PlainFlake& f = flakes[i];
    RECT r = extents[f.kind];
    OffsetRect(&r, f.x, f.y);
    SetRectRgn(oldRect, r.left, r.top, r.right, r.bottom);
    const int oldX = f.x, oldY = f.y;
    if (f.hidden == 0) CombineRgn(occupied, occupied, oldRect, RGN_DIFF);
    int t = Below(s.FlakeWobble);
    if (Below(1000) > 500) t = -t;
    f.dx += t;
    if (f.dx > s.FlakeDrift) f.dx = s.FlakeDrift;
    if (f.dx < -s.FlakeDrift) f.dx = -s.FlakeDrift;
    if (phase == 3) {
      strength = 0;
      phase = 0;
    }
    if (phase == 0) {
      f.y += f.dy;
      f.x += f.dx;
    } else if (phase == 1) {
      if (strength > s.GustMax) {
        strength = s.GustMax;
        if (Below(10000) > 9950) {
          direction = -direction;
          strength /= 3;
        }
      }
      f.x += f.dx + direction * strength;
      f.y += f.dy;
    } else if (phase == 2) {
      int step = std::abs(f.dx);
      step = step + Below(s.FlakeWobble + 1) - s.FlakeWobble / 2;
      f.dx = step * direction;
      f.x += f.dx + direction * strength;
      f.y += f.dy;
    }
    RECT n = extents[f.kind];
    OffsetRect(&n, f.x, f.y);
    SetRectRgn(newRect, n.left, n.top, n.right, n.bottom);
    const int cx = n.left + (n.right - n.left) / 2;
    const bool topInCover = PtInRegion(cover, cx, n.top);
    const bool belowInCover = PtInRegion(cover, cx, n.bottom);
    const bool touching = topInCover || belowInCover;
    const bool topInRoom = PtInRegion(room, cx, n.top);
    if (f.hidden == 0 && f.inCover == 0 && f.unsaved == 0) Restore(f, oldX, oldY);
    if (RectInRegion(occupied, &n)) {
      f.hidden = 1;
      f.unsaved = 1;
    } else {
      f.hidden = 0;
      CombineRgn(occupied, occupied, newRect, RGN_OR);
    }
    if (f.y > h || (phase > 0 && (f.x > w || f.x < 0))) {
      Spawn(i);
      return;
    }
    if (f.hidden == 0 || touching) {
      Save(f);
      SelectObject(flakeDC, shapes[f.kind]);
      SetMapMode(flakeDC, GetMapMode(screen));
      BitBlt(screen, f.x, f.y, n.right - n.left, n.bottom - n.top, flakeDC, 0, 0, SRCPAINT);
    }
    if (touching) {
      f.inCover = 1;
      if (belowInCover && topInRoom) {
        SetRectRgn(scratch, n.left, n.bottom - 2, n.right, n.bottom);
        CombineRgn(cover, cover, scratch, RGN_OR);
      }
    } else {
      f.inCover = 0;
    }
  }

  void Frame() {
    SetRectRgn(scratch, 0, 0, w, h);
    CombineRgn(occupied, occupied, scratch, RGN_AND);
    for (int i = 0; i < Settings().FlakeCount; ++i) Update(i);
  }

  void WindEvent(int id) {
    switch (id) {
      case 2:
        phase = 1;
        strength = 0;
        direction = -1;
        if (Below(10) > 4) direction = 1;
        break;
      case 3: phase = 2; break;
      case 4: phase = 3; break;
      case 5: ++strength; break;
      case 6:
        if (--strength <= 0) {
          strength = 0;
          phase = 0;
        }
        break;
    }
  }

  int w, h;
  Lcg rng;
  int phase = 0, strength = 0, direction = 0;
  PlainFlake flakes[kFlakeSlots] = {};
  HDC screen;
  HBITMAP screenBitmap;
  HGDIOBJ screenStart;
  HBITMAP shapes[3];
  RECT extents[3];
  HRGN cover, room, occupied, oldRect, newRect, scratch;
  HDC flakeDC;
  HGDIOBJ flakeDCStart;
};

void ExpectSameFlakes(const PlainSnow& plain, int frame) {
  for (int i = 0; i < kFlakeSlots; ++i) {
    const Flake& a = FlakeAt(i);
    const PlainFlake& b = plain.flakes[i];
    ASSERT_TRUE(a.x == b.x && a.y == b.y && a.dx == b.dx && a.dy == b.dy && a.kind == b.kind &&
                a.inCover == b.inCover && a.hidden == b.hidden && a.unsaved == b.unsaved)
        << "slot " << i << " at frame " << frame << ": saver (" << a.x << "," << a.y << " dx "
        << a.dx << " hidden " << a.hidden << " inCover " << a.inCover << " unsaved " << a.unsaved
        << "), plain (" << b.x << "," << b.y << " dx " << b.dx << " hidden " << b.hidden
        << " inCover " << b.inCover << " unsaved " << b.unsaved << ")";
  }
  const WindState& wind = Wind();
  ASSERT_EQ(plain.phase, wind.phase) << frame;
  ASSERT_EQ(plain.strength, wind.strength) << frame;
  ASSERT_EQ(plain.direction, wind.direction) << frame;
}

size_t PixelDifferences(HWND saver, const PlainSnow& plain) {
  const Capture a = CaptureSaver(saver);
  const Capture b = CaptureDC(plain.screen, plain.w, plain.h);
  size_t n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

// A gust every 350 frames: 150 calm, a rise of 120 frames with a step every
// other frame (the cap and now and then a reversal), a fall of 80.
int WindTimerAt(int frame, int second) {
  const int t = frame % 350;
  if (second) return (t == 269) ? 3 : (t == 349 ? 4 : 0);
  if (t == 149) return 2;
  if (t >= 150 && t < 270 && t % 2 == 1) return 5;
  if (t >= 270 && t % 2 == 1) return 6;
  return 0;
}

void RunSideBySide(int flakes, int frames, int pixelEvery, bool detail) {
  HWND saver = StartSaver([flakes](SettingsRecord& s) {
    s.SleighOn = 0;
    s.SceneryOn = 0;
    s.FlakeCount = flakes;
  });
  if (detail) PaintDetail(saver);
  SceneState& scene = Scene();
  PlainSnow plain(scene.workingDC, scene.screenWidth, scene.screenHeight);
  CombineRgn(plain.cover, scene.coverRegion, nullptr, RGN_COPY);
  CombineRgn(plain.room, scene.roomRegion, nullptr, RGN_COPY);
  for (int i = 0; i < kFlakeSlots; ++i) {
    const Flake& f = FlakeAt(i);
    PlainFlake& p = plain.flakes[i];
    p = PlainFlake{f.x, f.y, f.dx, f.dy, f.kind, f.inCover, f.hidden, nullptr, f.unsaved};
    p.saveBitmap = CreateCompatibleBitmap(plain.screen, plain.extents[f.kind].right,
                                          plain.extents[f.kind].bottom);
  }
  int hidden = 0, landed = 0;
  for (int frame = 0; frame < frames; ++frame) {
    for (int second = 0; second < 2; ++second) {
      if (const int id = WindTimerAt(frame, second)) {
        RunWindTimer(saver, id);
        plain.WindEvent(id);
      }
    }
    RunFrames(saver, 1);
    plain.Frame();
    ExpectSameFlakes(plain, frame);
    if (testing::Test::HasFatalFailure()) break;
    for (int i = 0; i < flakes; ++i) {
      hidden += FlakeAt(i).hidden;
      landed += FlakeAt(i).inCover == 1;
    }
    if (frame % pixelEvery == pixelEvery - 1 || frame == frames - 1) {
      ASSERT_EQ(0u, PixelDifferences(saver, plain)) << "frame " << frame;
      ASSERT_TRUE(EqualRgn(plain.cover, scene.coverRegion)) << "frame " << frame;
      HRGN occupied = OccupiedAsRegion();
      ASSERT_TRUE(EqualRgn(plain.occupied, occupied)) << "frame " << frame;
      DeleteObject(occupied);
    }
  }
  ASSERT_EQ(plain.rng.Next(), RandomNext()) << "the generators went the same way";
  EXPECT_GT(hidden, 0);
  EXPECT_GT(landed, 0);
  printf("%d flakes, %d frames: %d hidden and %d landed flake-frames\n", flakes, frames, hidden,
         landed);
  StopSaver(saver);
}

TEST(FlakeReference, FewFlakesOverThousandsOfFramesWithGusts) {
  RunSideBySide(25, 3000, 100, true);
}

TEST(FlakeReference, FullTableCrowdedFromTheStart) { RunSideBySide(500, 120, 20, false); }

}  // namespace
