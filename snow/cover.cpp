#include "snow/cover.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "images/mask_region.h"
#include "settings/settings.h"
#include "snow/ledges.h"
#include "surface/surface.h"

namespace {

constexpr int kGroundBand = 14;  // rows of the seed band under the window

bool SceneExists() { return Surface().window && Surface().coverRegion; }

// The cover map: one byte per pixel over the screen widened by a margin on
// each side and below (where the ground band lies); lookups outside it ask
// the region itself.
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
  coverMap.assign(static_cast<size_t>(mapArea.right - mapArea.left) * (mapArea.bottom - mapArea.top),
                  0);
  mapStale = false;
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

// The seeds: the mask's edge band, the band under each ledge of the
// desktop's windows and, under each monitor, the ground band, or the ground
// cut away when there is no snow on the ground.
void SeedCover() {
  Settle();
  const SettingsRecord& s = Settings();
  const SurfaceState& surface = Surface();
  if (s.SnowOnMask) CombineWith(surface.coverRegion, MaskEdgeRegion(), RGN_OR);
  PlaceLedges();
  AddLedgeSeeds(surface.coverRegion, surface.scratchRegion);
  for (int i = 0; i < surface.monitorCount; ++i) {
    const RECT& m = surface.monitors[i].window;
    if (s.SnowOnGround) {
      SetScratch(m.left, m.bottom, m.right, m.bottom + kGroundBand);
      CombineRgn(surface.coverRegion, surface.scratchRegion, surface.coverRegion, RGN_OR);
    } else {
      SetScratch(m.left, m.bottom, m.right, surface.screenHeight + kGroundBand);
      CombineRgn(surface.coverRegion, surface.coverRegion, surface.scratchRegion, RGN_DIFF);
    }
  }
}

}  // namespace

bool CoverHas(int x, int y) {
  if (mapStale) RebuildCoverMap();
  if (x < mapArea.left || x >= mapArea.right || y < mapArea.top || y >= mapArea.bottom) {
    return Surface().coverRegion && PtInRegion(CoverRegion(), x, y);
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
    const RECT& m = surface.monitors[i].window;
    SetScratch(m.left, m.bottom - s.GroundSnowDepth, m.right, m.bottom + kGroundBand);
    CombineRgn(surface.roomRegion, surface.scratchRegion, surface.roomRegion, RGN_OR);
  }
  CombineWith(surface.roomRegion, MaskBodyRegion(), RGN_OR);
}

void ApplySnowOnMask(int newValue, int oldValue) {
  if (!SceneExists()) return;
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
  if (!SceneExists()) return;
  Settle();
  const SurfaceState& surface = Surface();
  if (oldValue != 0 && newValue == 0) {
    for (int i = 0; i < surface.monitorCount; ++i) {
      const RECT& m = surface.monitors[i].window;
      SetScratch(m.left, m.bottom - Settings().GroundSnowDepth, m.right, m.bottom + 7);
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
  if (!SceneExists() || newValue == oldValue) return;
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
