#include "snow/cover.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "images/mask_region.h"
#include "settings/settings.h"
#include "snow/ledges.h"
#include "snow/pixel_map.h"
#include "surface/surface.h"

namespace {

constexpr int kGroundBand = 14;  // rows of the seed band under the window

// The cover map: one byte per pixel over the screen widened by a margin on
// each side and below (where the ground band lies); lookups outside it, and
// all lookups on a screen too large for a map, ask the region itself.
constexpr int kMapMargin = 64;
std::vector<uint8_t> coverMap;
RECT mapArea{0, 0, 0, 0};
bool mapStale = true;

// Snow that landed since the region last grew: it is in the map at once,
// and joins the region in one call for all of it (a region call on the many
// rectangles of a grown cover costs as much as many flakes).
std::vector<RECT> landed;

void Settle() {
  if (landed.empty()) return;
  HRGN joined = UnionOfRects(landed);
  CombineRgn(Surface().coverRegion, Surface().coverRegion, joined, RGN_OR);
  DeleteObject(joined);
  landed.clear();
}

// Marks the part of r that lies on the map as cover.
void FillMap(const RECT& r) {
  RECT part;
  if (!IntersectRect(&part, &r, &mapArea)) return;
  const int width = mapArea.right - mapArea.left;
  for (int y = part.top; y < part.bottom; ++y) {
    memset(&coverMap[static_cast<size_t>(y - mapArea.top) * width + (part.left - mapArea.left)], 1,
           static_cast<size_t>(part.right - part.left));
  }
}

void RebuildCoverMap() {
  Settle();
  const SurfaceState& surface = Surface();
  mapArea = RECT{-kMapMargin, 0, surface.screenWidth + kMapMargin, surface.screenHeight + kMapMargin};
  mapStale = false;
  // Without a map every lookup lies off it and asks the region.
  if (!SizePixelMap(coverMap, mapArea.right - mapArea.left, mapArea.bottom - mapArea.top)) {
    mapArea = RECT{0, 0, 0, 0};
    return;
  }
  if (!surface.coverRegion) return;
  const DWORD size = GetRegionData(surface.coverRegion, 0, nullptr);
  if (size == 0) return;
  std::vector<char> buffer(size);
  RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (!GetRegionData(surface.coverRegion, size, data)) return;
  const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) FillMap(rects[i]);
}

// target = target op the region; a mask region that was never built is
// empty and leaves the target as it is.
void CombineWith(HRGN target, HRGN region, int mode) {
  if (region) CombineRgn(target, target, region, mode);
}

void SetScratch(int left, int top, int right, int bottom) {
  SetRectRgn(Surface().scratchRegion, left, top, right, bottom);
}

// The rows top to bottom across monitor i's window into the scratch region,
// less what other monitors show there: a monitor's ground, its room and its
// clearing stay off its neighbours (the one below it, the one above a deep
// pile).
void SetGroundScratch(int i, int top, int bottom) {
  const SurfaceState& surface = Surface();
  const RECT& m = surface.monitors[i].window;
  SetScratch(m.left, top, m.right, bottom);
  for (int j = 0; j < surface.monitorCount; ++j) {
    if (j == i) continue;
    HRGN other = CreateRectRgnIndirect(&surface.monitors[j].screen);
    CombineRgn(surface.scratchRegion, surface.scratchRegion, other, RGN_DIFF);
    DeleteObject(other);
  }
}

// The seeds: the mask's edge band, under each monitor the ground band, or
// the ground cut away when there is no snow on the ground (its band, or on a
// single screen everything from the window's bottom to the screen's: in a
// preview the window is smaller than the screen), and the band under each
// ledge of the desktop's windows.
void SeedCover() {
  Settle();
  const SettingsRecord& s = Settings();
  const SurfaceState& surface = Surface();
  if (s.SnowOnMask) CombineWith(surface.coverRegion, MaskEdgeRegion(), RGN_OR);
  for (int i = 0; i < surface.monitorCount; ++i) {
    const int ground = surface.monitors[i].window.bottom;
    if (s.SnowOnGround) {
      SetGroundScratch(i, ground, ground + kGroundBand);
      CombineRgn(surface.coverRegion, surface.scratchRegion, surface.coverRegion, RGN_OR);
    } else {
      const int cleared = surface.monitorCount > 1 ? ground : surface.screenHeight;
      SetGroundScratch(i, ground, cleared + kGroundBand);
      CombineRgn(surface.coverRegion, surface.coverRegion, surface.scratchRegion, RGN_DIFF);
    }
  }
  PlaceLedges();
  AddLedgeSeeds(surface.coverRegion, surface.scratchRegion);
}

}  // namespace

bool CoverHas(int x, int y) {
  if (mapStale) RebuildCoverMap();
  if (x < mapArea.left || x >= mapArea.right || y < mapArea.top || y >= mapArea.bottom) {
    // Off the map the region answers, with the snow that landed this frame
    // and has not joined it yet: joining it here, for every flake that
    // drifted off the side, would cost the join many times a frame.
    const POINT p{x, y};
    for (const RECT& r : landed) {
      if (PtInRect(&r, p)) return true;
    }
    return Surface().coverRegion && PtInRegion(Surface().coverRegion, x, y);
  }
  const int width = mapArea.right - mapArea.left;
  return coverMap[static_cast<size_t>(y - mapArea.top) * width + (x - mapArea.left)] != 0;
}

void CoverAddRect(const RECT& r) {
  if (!Surface().coverRegion) return;
  landed.push_back(r);
  if (!mapStale) FillMap(r);
}

HRGN CoverRegion() {
  Settle();
  return Surface().coverRegion;
}

void SettleLandedSnow() { Settle(); }

bool RoomHas(int x, int y) { return Surface().roomRegion && PtInRegion(Surface().roomRegion, x, y); }

void ForgetCover() {
  ForgetLedges();
  coverMap.clear();
  landed.clear();
  mapStale = true;
}

void CoverChanged() { mapStale = true; }

void BuildCover() {
  landed.clear();
  SetRectRgn(Surface().coverRegion, 0, 0, 0, 0);
  SeedCover();
  CoverChanged();
}

void RebuildCover() {
  SeedCover();
  CoverChanged();
}

void BuildRoom() {
  const SettingsRecord& s = Settings();
  const SurfaceState& surface = Surface();
  SetRectRgn(surface.roomRegion, 0, 0, 0, 0);
  PlaceLedges();
  AddLedgeRoom(surface.roomRegion, surface.scratchRegion);
  if (!s.SnowOnGround) return;  // no ground, no growth on the ground or the mask
  for (int i = 0; i < surface.monitorCount; ++i) {  // the ground pile along each monitor's bottom
    const int ground = surface.monitors[i].window.bottom;
    SetGroundScratch(i, ground - s.GroundSnowDepth, ground + kGroundBand);
    CombineRgn(surface.roomRegion, surface.scratchRegion, surface.roomRegion, RGN_OR);
  }
  CombineWith(surface.roomRegion, MaskBodyRegion(), RGN_OR);
}

void ApplySnowOnMask(int newValue, int oldValue) {
  if (!SceneRunning()) return;
  Settle();
  const SurfaceState& surface = Surface();
  if (oldValue != 0 && newValue == 0) {
    BuildRoom();
    // Grown snow stays only inside the room; the mask's seed bands go.
    CombineRgn(surface.coverRegion, surface.roomRegion, surface.coverRegion, RGN_AND);
    CoverChanged();
    RebuildCover();
    const RECT& w = surface.windowRect;
    SetScratch(w.left, w.top, w.right, w.bottom);
    CombineRgn(surface.scratchRegion, surface.scratchRegion, surface.roomRegion, RGN_DIFF);
    RepaintRegion(surface.scratchRegion);
  } else if (oldValue == 0 && newValue != 0) {
    RebuildCover();
    BuildRoom();
  }
}

void ApplySnowOnGround(int newValue, int oldValue) {
  if (!SceneRunning()) return;
  Settle();
  const SurfaceState& surface = Surface();
  if (oldValue != 0 && newValue == 0) {
    for (int i = 0; i < surface.monitorCount; ++i) {
      const int ground = surface.monitors[i].window.bottom;
      SetGroundScratch(i, ground - Settings().GroundSnowDepth, ground + kFlakeReach);
      RepaintRegion(surface.scratchRegion);
      CombineRgn(surface.coverRegion, surface.coverRegion, surface.scratchRegion, RGN_DIFF);
    }
    CoverChanged();
    RebuildCover();
    BuildRoom();
  } else if (oldValue == 0 && newValue != 0) {
    RebuildCover();
    BuildRoom();
  }
}

void ApplySnowDepth(int newValue, int oldValue) {
  if (!SceneRunning() || newValue == oldValue) return;
  Settle();
  const SurfaceState& surface = Surface();
  if (newValue > oldValue) {
    RebuildCover();
    BuildRoom();
    return;
  }
  HRGN oldRoom = CreateRectRgn(0, 0, 0, 0);
  HRGN wipe = CreateRectRgn(0, 0, 0, 0);
  HRGN scratch = surface.scratchRegion;
  CombineRgn(oldRoom, surface.roomRegion, nullptr, RGN_COPY);
  RebuildCover();
  BuildRoom();
  // Snow above the new height goes; the seeds outside the room come back.
  CombineRgn(surface.coverRegion, surface.coverRegion, surface.roomRegion, RGN_AND);
  CoverChanged();
  RebuildCover();

  // What lost its room, 14 pixels to each side and at least 7 rows above,
  // so that imprints sticking out of the old surface go too.
  CombineRgn(wipe, oldRoom, surface.roomRegion, RGN_DIFF);
  CombineRgn(scratch, wipe, nullptr, RGN_COPY);
  OffsetRgn(scratch, -14, 0);
  CombineRgn(wipe, wipe, scratch, RGN_OR);
  OffsetRgn(scratch, 28, 0);
  CombineRgn(wipe, wipe, scratch, RGN_OR);
  CombineRgn(scratch, wipe, nullptr, RGN_COPY);
  const int d = oldValue - newValue;
  if (d >= 7) {
    OffsetRgn(scratch, 0, -7);
    CombineRgn(wipe, wipe, scratch, RGN_OR);
  } else {
    for (int i = 0; i < 7 / d + 1; ++i) {
      OffsetRgn(scratch, 0, -d);
      CombineRgn(wipe, wipe, scratch, RGN_OR);
    }
  }
  RepaintRegion(wipe);
  DeleteObject(oldRoom);
  DeleteObject(wipe);
}
