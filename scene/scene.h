// The scene controller: builds the scene on the window that hosts it (the
// saver window, full screen or as a preview child, or the settings dialog's
// live preview), steps it on every frame tick, paints the background and
// tears the scene down. The host's window procedure creates the scene when
// its window is made and hands every later message to SceneProc.
#pragma once

#include <windows.h>

#include "images/bmp_loader.h"
#include "surface/surface.h"

// The scene on a new window, laid out as span says, from the settings as
// they stand, its sprites from the resources of instance, built in the order
// that fixes the random draws; then its timers. A picture or mask that
// cannot be read is told in a message box, and the scene runs on without it.
void CreateScene(HWND window, HINSTANCE instance, SurfaceSpan span);
void DestroyScene();
// The scene's own messages: the background, the timers and the window's
// end. Every other message goes to otherwise.
LRESULT SceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC otherwise);

// Measures the device's resolution and the window's place again, and
// rebuilds the snow cover from scratch.
void MeasureScreen();

// While the display is off the scene stands still: its frame and wind
// timers stop. Resumed, it goes on where it stopped, drawing a frame at
// once. Nothing where no scene runs, or where it already stands or runs.
void PauseScene();
void ResumeScene();
bool ScenePaused();

void ApplyFrameInterval(int newPeriod, int oldPeriod);
// A new picture, mask, layout or mask detail: the scene starts afresh on
// its window with them, its timers running on. Files that cannot be read
// are left out without a message (whoever chose them has said so).
void ApplyPictureAndMask();
// Shows the region inverted for a second, the animation standing still
// meanwhile; a timer of the scene's window ends it. Ending it early puts
// the region back at once. Nothing where no scene runs.
void FlashSceneRegion(HRGN region);
void EndSceneFlash();

// The picture shared by the mask and the background, and whether it holds
// a loaded file.
const BmpImage& ScenePicture();
int PictureLoaded();
int SceneFrameCounter();

// Paints the background of the scene's window into dc: grey over the client
// rectangle, then the picture if one is loaded.
void PaintBackground(HDC dc, const RECT& client);

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT_PTR kFlashTimer = 7;
