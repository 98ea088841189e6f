#include "snow/cover.h"

#include "scene/scene_state.h"

void MeasureScreen() {
  SceneState& scene = Scene();
  scene.workingDC = GetDC(scene.window);
  GetWindowRect(scene.window, &scene.windowRect);
  scene.screenWidth = GetDeviceCaps(scene.workingDC, HORZRES);
  scene.screenHeight = GetDeviceCaps(scene.workingDC, VERTRES);
  BuildCover();
  BuildRoom();
}

void BuildCover() {}
void BuildRoom() {}
void RebuildCover() {}
void ApplySnowOnMask(int, int) {}
void ApplySnowOnGround(int, int) {}
void ApplySnowDepth(int, int) {}
