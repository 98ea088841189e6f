// Five fir trees standing in front of the snow.
#pragma once

#include <windows.h>

constexpr int kTrees = 5;

void LoadTreeSprites(HINSTANCE instance);
void DeleteTreeSprites();
void PlaceTrees();
void DrawTrees(HDC dc);
void EraseTrees();
void ApplyScenerySwitch(int newValue, int oldValue);
// Where tree i stands (its top-left corner).
POINT TreePlace(int i);
