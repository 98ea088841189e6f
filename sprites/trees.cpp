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

// A monitor too narrow or too low for a tree, with its margins, has none.
int TreeShare(const Monitor& m) {
  const RECT& screen = m.screen;
  return screen.bottom - screen.top >= 200 ? screen.right - screen.left - 200 : 0;
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

// A tree stands 100 pixels or more from its monitor's sides and 50 from its
// top, and well clear of its bottom: its place across is drawn along the
// monitors' widths less those margins laid end to end, so that each has a
// share of the trees in proportion to its width, and its height on the
// monitor where it fell. Where no monitor has room (one small screen) the
// trees are placed on the primary by the same margins, wherever that puts
// them.
void PlaceTrees() {
  const SurfaceState& surface = Surface();
  const RECT& primary = surface.monitors[0].screen;
  const int total = MonitorSharesTotal(TreeShare);
  for (int i = 0; i < kTrees; ++i) {
    int along = RandomBelow(total > 0 ? total : primary.right - primary.left - 200);
    const RECT& screen = surface.monitors[total > 0 ? MonitorAlong(TreeShare, &along) : 0].screen;
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
