// The scene controller: builds the scene on the window that hosts it (the
// saver window, full screen or as a preview child, or the settings dialog's
// live preview), steps it on every frame tick, paints the background and
// tears the scene down. The host's window procedure creates the scene when
// its window is made and hands every later message to SceneProc.
#pragma once

#include <windows.h>

#include "surface/surface.h"
#include "system/timer.h"

// Whether a picture or mask that cannot be read, or a mask cut short, is
// told in a message box; the scene runs on without it either way.
enum class UnreadableFiles { kTold, kQuiet };

// The scene on a new window, laid out as span says, from the settings as
// they stand, its sprites from the resources of instance, built in the order
// that fixes the random draws; then its timers.
void CreateScene(HWND window, HINSTANCE instance, SurfaceSpan span, UnreadableFiles files);
void DestroyScene();
// The scene's own messages: the background, the timers and the window's
// end. Every other message goes to otherwise.
LRESULT SceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC otherwise);

// Measures the device's resolution and the window's place again, and fits
// the occupied set and the snow cover to them, the cover built from scratch.
void FitSceneToScreen();

// While the display is off the scene stands still: its frame and wind
// timers stop. Resumed, it goes on where it stopped, drawing a frame at
// once. Nothing where no scene runs, or where it already stands or runs.
void PauseScene();
void ResumeScene();
bool ScenePaused();

void ApplyFrameInterval(int newPeriod, int oldPeriod);
// A new picture, mask, layout or mask detail: the scene starts afresh on
// its window with them, its timers running on, and quiet about files it
// cannot read (the settings dialog has told the user).
void ApplyPictureAndMask();
// Shows the region inverted for a second, the animation standing still
// meanwhile; a timer of the scene's window ends it. Ending it early puts
// the region back at once. Nothing where no scene runs.
void FlashSceneRegion(HRGN region);
void EndSceneFlash();

// Whether the picture shared by the mask and the background holds a
// loaded file.
int PictureLoaded();
int SceneFrameCounter();

// Paints the background of the scene's window into dc: the desktop as it
// was where it was taken; otherwise grey over the client rectangle, then
// the picture if one is loaded.
void PaintBackground(HDC dc, const RECT& client);
