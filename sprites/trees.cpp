#include "sprites/trees.h"

#include "scene/scene_state.h"
#include "snow/random.h"

namespace {
constexpr int kTrees = 5;
int treeX[kTrees];
int treeY[kTrees];
}  // namespace

void LoadTreeSprites(HINSTANCE) {}

void PlaceTrees() {
  const SceneState& scene = Scene();
  for (int i = 0; i < kTrees; ++i) {
    treeX[i] = RandomBelow(scene.screenWidth - 200) + 100;
    treeY[i] = RandomBelow(scene.screenHeight - 200) + 50;
  }
}

void DrawTrees(HDC) {}
void EraseTrees() {}
void ApplyScenerySwitch(int, int) {}
