#include "snow/flakes.h"

#include <algorithm>
#include <cstdlib>

#include "settings/settings.h"
#include "snow/cover.h"
#include "snow/flake_drawing.h"
#include "snow/ledges.h"
#include "snow/occupied.h"
#include "snow/random.h"
#include "snow/wind.h"
#include "surface/surface.h"

namespace {

Flake flakes[kFlakeSlots];
FlakeKind kinds[kFlakeKinds];

// The shapes, 16 x 8 one-bit pictures, two bytes a row, leftmost pixel in
// the top bit; only the top-left width x height pixels are ever drawn.
const unsigned char kPatterns[kFlakeKinds][8] = {
    {0xA0, 0x40, 0xA0, 0, 0, 0, 0, 0},
    {0x44, 0xD6, 0x28, 0x54, 0x28, 0xD6, 0x44, 0},
    {0x28, 0x10, 0x92, 0x6C, 0x92, 0x10, 0x28, 0},
};
constexpr int kKindSize[kFlakeKinds] = {3, 7, 7};
static_assert(kKindSize[0] <= kFlakeReach && kKindSize[1] <= kFlakeReach && kKindSize[2] <= kFlakeReach,
              "the rows kept clear under a monitor's ground hold any flake");

// Whether any of r lies on the saver window where a monitor shows it: a copy
// wholly outside changes nothing anyone sees, so it is skipped.
bool OnWindow(const RECT& r) {
  const RECT& w = Surface().windowRect;
  return r.right > 0 && r.bottom > 0 && r.left < w.right - w.left && r.top < w.bottom - w.top &&
         OnMonitor(r);
}

int Width(const Flake& f) { return kKindSize[f.kind]; }

// In calm air each monitor has new flakes in proportion to its width.
int FlakeShare(const Monitor& m) { return m.screen.right - m.screen.left; }

// Whether a flake that was at r and has fallen to row y has left: past the
// bottom of the screen or, with several monitors, of the window on the
// monitor it fell on. One that was on none of them leaves at once: it would
// only fall unseen, or in at the top edge of a monitor lower down.
bool HasLeft(const RECT& r, int y) {
  const SurfaceState& surface = Surface();
  if (surface.monitorCount < 2) return y > surface.screenHeight;
  const int m = MonitorAt(POINT{r.left + (r.right - r.left) / 2, r.top});
  return m < 0 || y > surface.monitors[m].window.bottom;
}

void Restore(HDC dc, int slot, int x, int y) {
  const int size = Width(flakes[slot]);
  RestoreFlakeBackground(dc, slot, x, y, size, size);
}

// Saves the background at the flake's place and ORs on the part of its
// shape that lies in shown (all of it, but for a flake resting by a ledge).
void SaveAndDraw(HDC dc, int slot, const RECT& shown) {
  Flake& f = flakes[slot];
  const int size = Width(f);
  SaveFlakeBackground(dc, slot, f.x, f.y, size, size);
  if (!IsRectEmpty(&shown)) {
    BlitShared(dc, kinds[f.kind].shape, shown.left, shown.top, shown.right - shown.left,
               shown.bottom - shown.top, SRCPAINT, shown.left - f.x, shown.top - f.y);
  }
  f.unsaved = false;
}

// The sideways and downward move of one frame, by the wind's phase.
void Move(Flake& f) {
  const SettingsRecord& s = Settings();
  CalmFinishedGust();
  CapRisingGust();
  const WindState& wind = Wind();
  if (wind.phase == kWindRising) {
    f.x += f.dx + wind.direction * wind.strength;
    f.y += f.dy;
  } else if (wind.phase == kWindFalling) {
    // The flake turns downwind and keeps drifting that way after the gust.
    int step = std::abs(f.dx);
    step += RandomBelow(s.FlakeWobble + 1) - s.FlakeWobble / 2;
    f.dx = step * wind.direction;
    f.x += f.dx + wind.direction * wind.strength;
    f.y += f.dy;
  } else {
    f.y += f.dy;
    f.x += f.dx;
  }
}

}  // namespace

const Flake& FlakeAt(int slot) { return flakes[slot]; }

RECT FlakeRect(const Flake& f) {
  RECT r = kinds[f.kind].extent;
  OffsetRect(&r, f.x, f.y);
  return r;
}

void CreateFlakeKinds() {
  for (int k = 0; k < kFlakeKinds; ++k) {
    unsigned char bits[16] = {};
    for (int row = 0; row < 8; ++row) bits[row * 2] = kPatterns[k][row];
    BITMAP bm{0, 16, 8, 2, 1, 1, bits};
    kinds[k].shape = CreateBitmapIndirect(&bm);
    SetRect(&kinds[k].extent, 0, 0, kKindSize[k], kKindSize[k]);
  }
}

void DeleteFlakeKinds() {
  for (FlakeKind& k : kinds) {
    if (k.shape) DeleteObject(k.shape);
    k.shape = nullptr;
  }
}

void SpawnFlake(int slot) {
  const SurfaceState& surface = Surface();
  const SettingsRecord& s = Settings();
  const WindState& wind = Wind();
  Flake& f = flakes[slot];
  if (wind.phase == kWindCalm) {
    int along = RandomBelow(MonitorSharesTotal(FlakeShare));
    const RECT& screen = surface.monitors[MonitorAlong(FlakeShare, &along)].screen;
    f.x = screen.left + along;
    f.y = screen.top + RandomBelow(20);  // in its top 20 rows
  } else {
    // During a gust new flakes blow in from the windward third.
    f.y = RandomBelow(surface.screenHeight);
    if (wind.direction == 1) {
      f.x = RandomBelow(surface.screenWidth / 3);
    } else {
      f.x = surface.screenWidth - RandomBelow(surface.screenWidth / 3);
    }
  }
  f.dx = RandomBelow(s.FlakeDrift) + 1;
  if (RandomBelow(100) > 50) f.dx = -f.dx;
  f.dy = RandomBelow(s.FlakeSpeed) + 3;
  f.hidden = false;
  f.cover = kJustSpawned;
  f.kind = RandomBelow(3);
  f.unsaved = true;  // nothing is in the slot's cell until it is first drawn
}

// A test seam (tests/support/seams.h); the program never calls it.
void PlaceFlake(int slot, int x, int y, int dx, int dy, int kind) {
  flakes[slot] = Flake{x, y, dx, dy, kind, kJustSpawned, false, true};
}

void UpdateFlakes(HDC dc) {
  const int count = Settings().FlakeCount;
  for (int i = 0; i < count; ++i) UpdateFlake(dc, i);
  SettleLandedSnow();
}

void UpdateFlake(HDC dc, int slot) {
  const SurfaceState& surface = Surface();
  const SettingsRecord& s = Settings();
  Flake& f = flakes[slot];

  const RECT oldRect = FlakeRect(f);
  const int oldX = f.x;
  const int oldY = f.y;
  // A flake drawn last frame takes its rectangle out of the occupied set; a
  // flake just spawned never put one in.
  if (!f.hidden && f.cover != kJustSpawned) OccupiedRemoveRect(oldRect);

  // Random walk of the sideways step, kept within the drift.
  int t = RandomBelow(s.FlakeWobble);
  if (RandomBelow(1000) > 500) t = -t;
  f.dx += t;
  if (f.dx > s.FlakeDrift) f.dx = s.FlakeDrift;
  if (f.dx < -s.FlakeDrift) f.dx = -s.FlakeDrift;

  Move(f);

  const RECT newRect = FlakeRect(f);
  const int cx = newRect.left + (newRect.right - newRect.left) / 2;
  const bool belowInCover = CoverHas(cx, newRect.bottom);
  const bool touching = belowInCover || CoverHas(cx, newRect.top);

  // A flake that touched the cover last frame stays where it was as snow.
  // Putting its old place back is left until it is known whether the flake
  // is drawn again, so that both can be done in one go.
  const bool restorePending =
      !f.hidden && f.cover == kClearOfCover && !f.unsaved && OnWindow(oldRect);

  if (OccupiedIntersects(newRect)) {
    f.hidden = true;
    f.unsaved = true;  // what the cell holds belongs to the old place
  } else {
    f.hidden = false;
    OccupiedAddRect(newRect);
  }

  if (HasLeft(oldRect, f.y) ||
      (Wind().phase > kWindCalm && (f.x > surface.screenWidth || f.x < 0))) {
    if (restorePending) Restore(dc, slot, oldX, oldY);
    SpawnFlake(slot);
    return;
  }

  // A flake on the cover is drawn even over another sprite: it is snow now.
  const bool drawn = !f.hidden || touching;
  const int size = Width(f);
  // Snow resting by a ledge shows only on the ledge: it never hangs into
  // the window below or a window beside, nor stands above the depth.
  RECT shown = newRect;
  unsigned char rows[8];
  const unsigned char* pattern = kPatterns[f.kind];
  if (touching) {
    const RECT area = RestingArea(cx, newRect);
    if (!IntersectRect(&shown, &newRect, &area)) SetRectEmpty(&shown);
    if (!EqualRect(&shown, &newRect)) {
      const RECT in{shown.left - newRect.left, shown.top - newRect.top, shown.right - newRect.left,
                    shown.bottom - newRect.top};
      const unsigned char columns =
          IsRectEmpty(&in) ? 0 : static_cast<unsigned char>((0xFF >> in.left) & ~(0xFF >> in.right));
      for (int r = 0; r < 8; ++r) rows[r] = r >= in.top && r < in.bottom ? pattern[r] & columns : 0;
      pattern = rows;
    }
  }
  const bool moved = restorePending && drawn && OnWindow(newRect) &&
                     MoveFlakeImage(dc, slot, oldX, oldY, f.x, f.y, size, size, pattern);
  if (moved) {
    f.unsaved = false;
  } else {
    if (restorePending) Restore(dc, slot, oldX, oldY);
    if (drawn && OnWindow(newRect)) {
      SaveAndDraw(dc, slot, shown);
    } else if (drawn) {
      f.unsaved = false;
    }
  }

  if (touching) {
    f.cover = kOnCover;
    // It landed on top of the cover with its top in the room: its two
    // bottom rows become cover.
    if (belowInCover && RoomHas(cx, newRect.top)) {
      const RECT area = RestingArea(cx, newRect);
      CoverAddRect(RECT{std::max(newRect.left, area.left), newRect.bottom - 2,
                        std::min(newRect.right, area.right), newRect.bottom});
    }
  } else {
    f.cover = kClearOfCover;
  }
}

void EraseFlake(int slot) {
  const Flake& f = flakes[slot];
  const SurfaceState& surface = Surface();
  if (f.cover != kClearOfCover || !surface.oldRectRegion) return;
  const RECT r = FlakeRect(f);
  SetRectRgn(surface.oldRectRegion, r.left, r.top, r.right, r.bottom);
  RepaintRegion(surface.oldRectRegion);
}

void EraseFlakesUnder(HDC dc, const RECT& given) {
  const RECT r = OrderedRect(given);
  if (r.left == r.right || r.top == r.bottom) return;
  const int count = Settings().FlakeCount;
  for (int i = 0; i < count; ++i) {
    const Flake& f = flakes[i];
    RECT overlap;
    const RECT rect = FlakeRect(f);
    if (!f.unsaved && IntersectRect(&overlap, &rect, &r)) Restore(dc, i, f.x, f.y);
  }
}

void ApplyFlakeCount(int newCount, int oldCount) {
  if (!SceneRunning()) return;
  if (newCount < oldCount) {
    for (int i = newCount; i < oldCount; ++i) {
      if (flakes[i].cover == kClearOfCover) EraseFlake(i);
    }
  } else {
    for (int i = oldCount; i < newCount; ++i) SpawnFlake(i);
  }
}

void ApplySnowfallSwitch(int newValue, int oldValue) {
  if (!SceneRunning()) return;
  const int count = Settings().FlakeCount;
  if (oldValue != 0 && newValue == 0) {
    for (int i = 0; i < count; ++i) EraseFlake(i);
  } else if (oldValue == 0 && newValue != 0) {
    for (int i = 0; i < count; ++i) SpawnFlake(i);
  }
}
