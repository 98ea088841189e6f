#include "snow/flakes.h"

#include "scene/scene_state.h"

namespace {
Flake flakes[kFlakeSlots];
FlakeKind kinds[kFlakeKinds];
}  // namespace

Flake& FlakeAt(int slot) { return flakes[slot]; }
const FlakeKind& FlakeKindAt(int kind) { return kinds[kind]; }

void CreateFlakeKinds() {}
void DeleteFlakeKinds() {}
void SpawnFlake(int) {}
void UpdateFlakes() {}
void UpdateFlake(int) {}
void EraseFlake(int) {}
void DeleteFlakeSlots() {}

void RepaintRegion(HRGN region) {
  SceneState& scene = Scene();
  if (!region || !scene.window) return;
  HDC dc = GetDC(scene.window);
  InvalidateRgn(scene.window, region, TRUE);
  UpdateWindow(scene.window);
  ReleaseDC(scene.window, dc);
}

void ApplyFlakeCount(int, int) {}
void ApplySnowfallSwitch(int, int) {}
