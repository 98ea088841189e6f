#include "sprites/trees.h"

#include "resources/resource.h"
#include "scene/display_push.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "snow/random.h"
#include "sprites/sprite_blit.h"

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
  const SceneState& scene = Scene();
  for (int i = 0; i < kTrees; ++i) {
    treeX[i] = RandomBelow(scene.screenWidth - 200) + 100;
    treeY[i] = RandomBelow(scene.screenHeight - 200) + 50;
  }
}

POINT TreePlace(int i) { return POINT{treeX[i], treeY[i]}; }

void DrawTrees(HDC dc) {
  for (int i = 0; i < kTrees; ++i) {
    const RECT r = TreeRect(i);
    DrawMasked(dc, treeMask, treeImage, r.left, r.top, r.right - r.left, r.bottom - r.top);
    SpriteDrawn();
  }
}

void EraseTrees() {
  const SceneState& scene = Scene();
  if (!scene.eraseRegion) return;
  for (int i = 0; i < kTrees; ++i) {
    const RECT r = TreeRect(i);
    SetRectRgn(scene.eraseRegion, r.left, r.top, r.right, r.bottom);
    RepaintRegion(scene.eraseRegion);
  }
}

void ApplyScenerySwitch(int newValue, int oldValue) {
  if (oldValue == 0 || newValue != 0) return;
  EraseTrees();
  PlaceTrees();
}
