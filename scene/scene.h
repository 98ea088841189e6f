// The scene controller, the saver window's own message procedure
// (SceneProc, declared by the shell): builds the scene on the window's
// surface, steps it on every frame tick, paints the background and tears the
// scene down.
#pragma once

#include <windows.h>

#include "images/bmp_loader.h"

// The scene on a new saver window, its sprites from the resources of
// instance, in the order that fixes the random draws; and its end.
void CreateScene(HWND window, HINSTANCE instance);
void DestroyScene();

// Measures the device's resolution and the window's place again, and
// rebuilds the snow cover from scratch.
void MeasureScreen();

void ApplyFrameInterval(int newPeriod, int oldPeriod);

// The picture shared by the mask and the background, and whether it holds
// a loaded file.
const BmpImage& ScenePicture();
int PictureLoaded();
// Reads a file into the shared picture (releasing what the last one made)
// and returns the new picture-loaded flag.
int LoadScenePicture(const char* path);
// Paints the shared picture into the saver window at once.
void RepaintScenePicture();

int SceneFrameCounter();

// Paints the background of the saver window into dc: the desktop as it was
// where it was taken; otherwise grey over the client rectangle, then the
// picture if one is loaded.
void PaintBackground(HDC dc, const RECT& client);

constexpr UINT_PTR kFrameTimer = 1;
