// The saver window's own message procedure: builds the scene, steps it on
// every frame tick, paints the background and tears the scene down.
#pragma once

#include <windows.h>

#include "images/bmp_image.h"

LRESULT SceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CreateScene(HINSTANCE instance);
void DestroyScene();

void ApplyWindSwitch(int newValue, int oldValue);
void ApplyFrameInterval(int newPeriod, int oldPeriod);
void RearmWindTimers();

// The picture shared by the mask and the background, and whether it holds
// a loaded file.
BmpImage& ScenePicture();
int& PictureLoaded();
int SceneFrameCounter();

// Paints the background of the saver window into dc: grey over the client
// rectangle, then the picture if one is loaded.
void PaintBackground(HDC dc, const RECT& client);

enum SceneTimer : UINT_PTR {
  kFrameTimer = 1,
  kCalmTimer = 2,
  kRiseEndTimer = 3,
  kFallEndTimer = 4,
  kRiseStepTimer = 5,
  kFallStepTimer = 6,
};
