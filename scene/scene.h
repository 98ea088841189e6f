// The saver window's own message procedure (SceneProc, declared by the
// shell): builds the scene, steps it on every frame tick, paints the
// background and tears the scene down.
#pragma once

#include <windows.h>

#include "images/bmp_loader.h"

void CreateScene(HINSTANCE instance);
void DestroyScene();

// Makes the saver window the surface the snow is drawn on, measures the
// device's resolution and the window's place, and rebuilds the snow cover
// from scratch.
void MeasureScreen();

// Has the saver window repaint its background inside the region at once;
// everything drawn there goes. A null region does nothing.
void RepaintRegion(HRGN region);

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
// Back to the state at process start, the frame counter at the given count
// (0 at process start).
void ResetScene(int frameCount = 0);

// Paints the background of the saver window into dc: grey over the client
// rectangle, then the picture if one is loaded.
void PaintBackground(HDC dc, const RECT& client);

constexpr UINT_PTR kFrameTimer = 1;
