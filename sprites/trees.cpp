#include "sprites/trees.h"

#include "images/bitmap_rect.h"
#include "resources/resource.h"
#include "snow/random.h"
#include "sprites/sprite_blit.h"
#include "surface/surface.h"

static_assert(kTrees <= kWatchedRects, "each tree watches its rectangle");

namespace {

HBITMAP treeImage = nullptr;
HBITMAP treeMask = nullptr;
int treeX[kTrees];
int treeY[kTrees];

RECT TreeRect(int i) {
  RECT size{0, 0, 0, 0};
  BitmapRect(&size, treeMask);
  OffsetRect(&size, treeX[i], treeY[i]);
  return size;
}

}  // namespace

void LoadTreeSprites(HINSTANCE instance) {
  DeleteTreeSprites();
  if (!instance) return;
  treeImage = LoadSprite(instance, IDB_TREE);
  treeMask = LoadSprite(instance, IDB_TREE_MASK);
  PrepareSprite(treeMask, treeImage);
}

void DeleteTreeSprites() {
  ForgetSprite(treeMask, treeImage);
  if (treeImage) DeleteObject(treeImage);
  if (treeMask) DeleteObject(treeMask);
  treeImage = treeMask = nullptr;
}

// Each tree stands on a monitor, 100 pixels or more from its sides and 50
// from its top: its place across is drawn along the monitors' widths laid
// end to end, less those margins, so that each monitor has a share of the
// trees in proportion to its width; its height on the monitor where it
// fell.
void PlaceTrees() {
  const SurfaceState& surface = Surface();
  const int monitors = surface.monitorCount > 0 ? surface.monitorCount : 1;
  auto across = [&](int m) { return surface.monitors[m].screen.right - surface.monitors[m].screen.left - 200; };
  int total = 0;
  for (int m = 0; m < monitors; ++m) total += across(m);
  for (int i = 0; i < kTrees; ++i) {
    int along = RandomBelow(total), m = 0;
    while (m + 1 < monitors && along >= across(m)) along -= across(m++);
    const RECT& screen = surface.monitors[m].screen;
    treeX[i] = screen.left + along + 100;
    treeY[i] = screen.top + RandomBelow(screen.bottom - screen.top - 200) + 50;
    WatchRect(i, TreeRect(i));
  }
}

POINT TreePlace(int i) { return POINT{treeX[i], treeY[i]}; }

// Only a tree that something was drawn over is drawn again; one drawn again
// may lie over a later tree, which is then drawn again on top of it, in the
// order of every frame. What the trees drew over themselves and the trees
// before them is as every frame leaves it: none of it asks for a redraw.
void DrawTrees(HDC dc) {
  for (int i = 0; i < kTrees; ++i) {
    if (!TakeWrittenOver(i)) continue;
    const RECT r = TreeRect(i);
    DrawMasked(dc, treeMask, treeImage, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  for (int i = 0; i < kTrees; ++i) TakeWrittenOver(i);
}

void EraseTrees() {
  const SurfaceState& surface = Surface();
  if (!surface.eraseRegion) return;
  for (int i = 0; i < kTrees; ++i) {
    const RECT r = TreeRect(i);
    SetRectRgn(surface.eraseRegion, r.left, r.top, r.right, r.bottom);
    RepaintRegion(surface.eraseRegion);
  }
}

void ApplyScenerySwitch(int newValue, int oldValue) {
  if (!Surface().window || oldValue == 0 || newValue != 0) return;
  EraseTrees();
  PlaceTrees();
}
