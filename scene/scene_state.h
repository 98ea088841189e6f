// What the scene shares with its modules, read-only: the saver window, the
// screen's size and the scene's regions. The regions are GDI objects that
// the modules that own their meaning combine into; the handles themselves
// change only at scene creation and teardown.
#pragma once

#include <windows.h>

struct SceneState {
  HINSTANCE instance;   // for every resource load; null without a saver window
  HWND window;          // the saver window; null in configuration mode
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

const SceneState& Scene();
