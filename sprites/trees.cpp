#include "sprites/trees.h"

#include "images/bitmap_rect.h"
#include "resources/resource.h"
#include "snow/random.h"
#include "sprites/sprite_blit.h"
#include "surface/surface.h"

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

void PlaceTrees() {
  const SurfaceState& surface = Surface();
  for (int i = 0; i < kTrees; ++i) {
    treeX[i] = RandomBelow(surface.screenWidth - 200) + 100;
    treeY[i] = RandomBelow(surface.screenHeight - 200) + 50;
    WatchRect(i, TreeRect(i));
  }
}

POINT TreePlace(int i) { return POINT{treeX[i], treeY[i]}; }

// Only a tree that something was drawn over is drawn again; one drawn again
// may lie over a later tree, which is then drawn again on top of it, in the
// order of every frame.
void DrawTrees(HDC dc) {
  for (int i = 0; i < kTrees; ++i) {
    if (!TakeWrittenOver(i)) continue;
    const RECT r = TreeRect(i);
    DrawMasked(dc, treeMask, treeImage, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
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
  if (oldValue == 0 || newValue != 0) return;
  EraseTrees();
  PlaceTrees();
}
