#include "snow/flakes.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "images/mask_region.h"
#include "scene/scene_state.h"
#include "settings/settings.h"
#include "snow/cover.h"
#include "snow/random.h"
#include "snow/wind.h"
#include "sprites/sprite_blit.h"

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
const int kKindSize[kFlakeKinds] = {3, 7, 7};

// --- The occupied set --------------------------------------------------
// On the screen: one byte per pixel, 1 where occupied. Off the screen: the
// scene's occupied region, which therefore never holds a pixel of the screen.
std::vector<uint8_t> occupiedPixels;
int occupiedWidth = 0;
int occupiedHeight = 0;
HRGN occupiedRect = nullptr;    // a rectangle for one region call
HRGN occupiedScreen = nullptr;  // (0, 0, width, height)

RECT Ordered(const RECT& r) {
  RECT o = r;
  if (o.left > o.right) std::swap(o.left, o.right);
  if (o.top > o.bottom) std::swap(o.top, o.bottom);
  return o;
}

// The part of r on the screen; false when there is none.
bool OnScreenPart(const RECT& r, RECT* part) {
  part->left = r.left < 0 ? 0 : r.left;
  part->top = r.top < 0 ? 0 : r.top;
  part->right = r.right > occupiedWidth ? occupiedWidth : r.right;
  part->bottom = r.bottom > occupiedHeight ? occupiedHeight : r.bottom;
  return part->left < part->right && part->top < part->bottom;
}

bool ReachesOffScreen(const RECT& r) {
  return r.left < r.right && r.top < r.bottom &&
         (r.left < 0 || r.top < 0 || r.right > occupiedWidth || r.bottom > occupiedHeight);
}

void FillPixels(const RECT& part, uint8_t value) {
  const size_t w = static_cast<size_t>(part.right - part.left);
  for (int y = part.top; y < part.bottom; ++y) {
    memset(&occupiedPixels[static_cast<size_t>(y) * occupiedWidth + part.left], value, w);
  }
}

void MakeOccupiedHelpers() {
  if (!occupiedRect) occupiedRect = CreateRectRgn(0, 0, 0, 0);
  if (!occupiedScreen) occupiedScreen = CreateRectRgn(0, 0, 0, 0);
}

// --- Flakes ---------------------------------------------------------------

RECT FlakeRect(const Flake& f) {
  RECT r = kinds[f.kind].extent;
  OffsetRect(&r, f.x, f.y);
  return r;
}

bool SceneExists() { return Scene().window != nullptr; }

// Whether any of r lies on the saver window: a copy wholly outside it
// changes nothing on the screen nor in the flake's cell, so it is skipped.
bool OnWindow(const RECT& r) {
  const RECT& w = Scene().windowRect;
  return r.right > 0 && r.bottom > 0 && r.left < w.right - w.left && r.top < w.bottom - w.top;
}

}  // namespace

Flake& FlakeAt(int slot) { return flakes[slot]; }
const FlakeKind& FlakeKindAt(int kind) { return kinds[kind]; }

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
  const SceneState& scene = Scene();
  const SettingsRecord& s = Settings();
  const WindState& wind = Wind();
  Flake& f = flakes[slot];
  if (wind.phase == kWindCalm) {
    f.x = RandomBelow(scene.screenWidth);
    f.y = RandomBelow(20);
  } else {
    // During a gust new flakes blow in from the windward third.
    f.y = RandomBelow(scene.screenHeight);
    if (wind.direction == 1) {
      f.x = RandomBelow(scene.screenWidth / 3);
    } else {
      f.x = scene.screenWidth - RandomBelow(scene.screenWidth / 3);
    }
  }
  f.dx = RandomBelow(s.FlakeDrift) + 1;
  if (RandomBelow(100) > 50) f.dx = -f.dx;
  f.dy = RandomBelow(s.FlakeSpeed) + 3;
  f.hidden = 0;
  f.inCover = -1;
  f.kind = RandomBelow(3);
  f.unsaved = 1;
  // The slot's background is its cell of the shared store; nothing valid is
  // in it until the flake is first drawn.
  f.slot = slot;
  f.saveBitmap = FlakeBackgroundStore(scene.workingDC);
}

void UpdateFlakes() {
  const int count = Settings().FlakeCount;
  for (int i = 0; i < count; ++i) UpdateFlake(i);
}

void UpdateFlake(int slot) {
  SceneState& scene = Scene();
  const SettingsRecord& s = Settings();
  WindState& wind = Wind();
  Flake& f = flakes[slot];

  const RECT oldRect = FlakeRect(f);
  const int oldX = f.x;
  const int oldY = f.y;
  if (f.hidden == 0) OccupiedRemoveRect(oldRect);

  // Random walk of the sideways step, kept within the drift.
  int t = RandomBelow(s.FlakeWobble);
  if (RandomBelow(1000) > 500) t = -t;
  f.dx += t;
  if (f.dx > s.FlakeDrift) f.dx = s.FlakeDrift;
  if (f.dx < -s.FlakeDrift) f.dx = -s.FlakeDrift;

  if (wind.phase == kWindOver) {  // the first flake after a gust calms the air
    wind.strength = 0;
    wind.phase = kWindCalm;
  }
  if (wind.phase == kWindRising) {
    if (wind.strength > s.GustMax) {
      wind.strength = s.GustMax;
      if (RandomBelow(10000) > 9950) {  // now and then the gust turns round
        wind.direction = -wind.direction;
        wind.strength /= 3;
      }
    }
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

  const RECT newRect = FlakeRect(f);
  const int cx = newRect.left + (newRect.right - newRect.left) / 2;
  const bool belowInCover = CoverHas(cx, newRect.bottom);
  const bool touching = belowInCover || CoverHas(cx, newRect.top);

  // A flake that touched the cover last frame stays where it was as snow.
  // Putting its old place back is left until it is known whether the flake
  // is drawn again, so that both can be done in one go.
  const bool restorePending =
      f.hidden == 0 && f.inCover == 0 && f.unsaved == 0 && OnWindow(oldRect);

  if (OccupiedIntersects(newRect)) {
    f.hidden = 1;
    f.unsaved = 1;  // what the cell holds belongs to the old place
  } else {
    f.hidden = 0;
    OccupiedAddRect(newRect);
  }

  if (f.y > scene.screenHeight ||
      (wind.phase > kWindCalm && (f.x > scene.screenWidth || f.x < 0))) {
    if (restorePending) RestoreFlakeBackground(scene.workingDC, f, oldX, oldY);
    SpawnFlake(slot);
    return;
  }

  // A flake on the cover is drawn even over another sprite: it is snow now.
  const bool drawn = f.hidden == 0 || touching;
  const bool moved = restorePending && drawn && OnWindow(newRect) &&
                     MoveFlakeImage(scene.workingDC, f, oldX, oldY);
  if (!moved) {
    if (restorePending) RestoreFlakeBackground(scene.workingDC, f, oldX, oldY);
    if (drawn && OnWindow(newRect)) {
      SaveFlakeBackground(scene.workingDC, f);
      const FlakeKind& kind = kinds[f.kind];
      BlitShared(scene.workingDC, kind.shape, f.x, f.y, kind.extent.right, kind.extent.bottom,
                 SRCPAINT);
    } else if (drawn) {
      f.unsaved = 0;
    }
  }

  if (touching) {
    f.inCover = 1;
    // It landed on top of the cover with its top in the room: its two
    // bottom rows become cover.
    if (belowInCover && PtInRegion(scene.roomRegion, cx, newRect.top)) {
      CoverAddRect(RECT{newRect.left, newRect.bottom - 2, newRect.right, newRect.bottom});
    }
  } else {
    f.inCover = 0;
  }
}

void EraseFlake(int slot) {
  const Flake& f = flakes[slot];
  if (f.inCover != 0) return;
  const RECT r = FlakeRect(f);
  SceneState& scene = Scene();
  if (!scene.oldRectRegion) return;
  SetRectRgn(scene.oldRectRegion, r.left, r.top, r.right, r.bottom);
  RepaintRegion(scene.oldRectRegion);
}

void DeleteFlakeSlots() {
  CoverChanged();
  DeleteFlakeBackgroundStore();
  for (Flake& f : flakes) f.saveBitmap = nullptr;
  OccupiedClear();
  if (occupiedRect) DeleteObject(occupiedRect);
  if (occupiedScreen) DeleteObject(occupiedScreen);
  occupiedRect = occupiedScreen = nullptr;
}

void RepaintRegion(HRGN region) {
  SceneState& scene = Scene();
  if (!region || !scene.window) return;
  HDC dc = GetDC(scene.window);
  InvalidateRgn(scene.window, region, TRUE);
  UpdateWindow(scene.window);
  ReleaseDC(scene.window, dc);
}

void ApplyFlakeCount(int oldCount, int newCount) {
  if (!SceneExists()) return;
  if (newCount < oldCount) {
    for (int i = newCount; i < oldCount; ++i) {
      if (flakes[i].inCover == 0) EraseFlake(i);
    }
  } else {
    for (int i = oldCount; i < newCount; ++i) SpawnFlake(i);
  }
}

void ApplySnowfallSwitch(int newValue, int oldValue) {
  if (!SceneExists()) return;
  const int count = Settings().FlakeCount;
  if (oldValue != 0 && newValue == 0) {
    for (int i = 0; i < count; ++i) EraseFlake(i);
  } else if (oldValue == 0 && newValue != 0) {
    for (int i = 0; i < count; ++i) SpawnFlake(i);
  }
}

// --- The occupied set --------------------------------------------------

void OccupiedAddRect(const RECT& given) {
  const RECT r = Ordered(given);
  RECT part{0, 0, 0, 0};
  if (OnScreenPart(r, &part)) FillPixels(part, 1);
  HRGN off = Scene().occupiedRegion;
  if (off && ReachesOffScreen(r)) {
    MakeOccupiedHelpers();
    SetRectRgn(occupiedRect, r.left, r.top, r.right, r.bottom);
    CombineRgn(off, off, occupiedRect, RGN_OR);
    if (part.left < part.right && part.top < part.bottom) {  // partly on the screen
      SetRectRgn(occupiedScreen, 0, 0, occupiedWidth, occupiedHeight);
      CombineRgn(off, off, occupiedScreen, RGN_DIFF);
    }
  }
}

void OccupiedRemoveRect(const RECT& given) {
  const RECT r = Ordered(given);
  RECT part;
  if (OnScreenPart(r, &part)) FillPixels(part, 0);
  HRGN off = Scene().occupiedRegion;
  if (off && ReachesOffScreen(r)) {
    MakeOccupiedHelpers();
    SetRectRgn(occupiedRect, r.left, r.top, r.right, r.bottom);
    CombineRgn(off, off, occupiedRect, RGN_DIFF);
  }
}

bool OccupiedIntersects(const RECT& given) {
  const RECT r = Ordered(given);
  RECT part;
  if (OnScreenPart(r, &part)) {
    const size_t w = static_cast<size_t>(part.right - part.left);
    for (int y = part.top; y < part.bottom; ++y) {
      const uint8_t* row = &occupiedPixels[static_cast<size_t>(y) * occupiedWidth + part.left];
      for (size_t x = 0; x < w; ++x) {
        if (row[x]) return true;
      }
    }
  }
  HRGN off = Scene().occupiedRegion;
  return off && ReachesOffScreen(r) && RectInRegion(off, &r);
}

void OccupiedClipToScreen() {
  SceneState& scene = Scene();
  SetRectRgn(scene.scratchRegion, 0, 0, scene.screenWidth, scene.screenHeight);
  CombineRgn(scene.occupiedRegion, scene.occupiedRegion, scene.scratchRegion, RGN_AND);
}

void OccupiedClear() {
  if (!occupiedPixels.empty()) memset(occupiedPixels.data(), 0, occupiedPixels.size());
  if (Scene().occupiedRegion) SetRectRgn(Scene().occupiedRegion, 0, 0, 0, 0);
}

void OccupiedFitScreen() {
  const SceneState& scene = Scene();
  if (scene.screenWidth == occupiedWidth && scene.screenHeight == occupiedHeight) return;
  occupiedWidth = scene.screenWidth > 0 ? scene.screenWidth : 0;
  occupiedHeight = scene.screenHeight > 0 ? scene.screenHeight : 0;
  occupiedPixels.assign(static_cast<size_t>(occupiedWidth) * occupiedHeight, 0);
}

HRGN OccupiedAsRegion() {
  std::vector<RECT> rects;
  for (int y = 0; y < occupiedHeight; ++y) {
    const uint8_t* row = &occupiedPixels[static_cast<size_t>(y) * occupiedWidth];
    int x = 0;
    while (x < occupiedWidth) {
      if (!row[x]) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < occupiedWidth && row[x]) ++x;
      rects.push_back(RECT{start, y, x, y + 1});
    }
  }
  HRGN all = UnionOfRects(rects);
  if (Scene().occupiedRegion) CombineRgn(all, all, Scene().occupiedRegion, RGN_OR);
  return all;
}
