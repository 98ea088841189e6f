// What the scene shares between its modules: the saver window, the working
// DC of the current frame, the screen's size and the scene's regions.
#pragma once

#include <windows.h>

struct SceneState {
  HINSTANCE instance;   // for every resource load; null without a saver window
  HWND window;          // the saver window; null in configuration mode
  HDC workingDC;        // the saver window's own DC, fetched once per tick
  int screenWidth;      // the device's full resolution, also in preview
  int screenHeight;
  RECT windowRect;      // the saver window in screen coordinates

  // Created empty at scene creation, deleted at teardown.
  HRGN coverRegion;
  HRGN roomRegion;
  HRGN oldRectRegion;
  HRGN newRectRegion;
  HRGN sleighRectRegion;
  HRGN eraseRegion;
  HRGN scratchRegion;
  HRGN occupiedRegion;
};

SceneState& Scene();
