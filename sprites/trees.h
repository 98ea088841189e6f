// Five fir trees standing in front of the snow.
#pragma once

#include <windows.h>

void LoadTreeSprites(HINSTANCE instance);
void PlaceTrees();
void DrawTrees(HDC dc);
void EraseTrees();
void ApplyScenerySwitch(int newValue, int oldValue);
