#include "scene/scene.h"

#include <cstring>

#include "images/mask_region.h"
#include "images/picture.h"
#include "scene/scene_state.h"
#include "settings/settings.h"
#include "shell/message_box.h"
#include "shell/saver_window.h"
#include "shell/shell_state.h"
#include "snow/cover.h"
#include "snow/flakes.h"
#include "snow/wind.h"
#include "sprites/sleigh.h"
#include "sprites/sprite_blit.h"
#include "sprites/trees.h"

namespace {

SceneState scene{};
int frameCounter = 0;
int pictureLoaded = 0;
BmpImage picture{};

HRGN* const kSceneRegions[] = {
    &scene.coverRegion,      &scene.roomRegion,  &scene.oldRectRegion,
    &scene.newRectRegion,    &scene.sleighRectRegion, &scene.eraseRegion,
    &scene.scratchRegion,    &scene.occupiedRegion,
};

// Reads a file into the shared picture; a failure shows the given message.
void LoadSharedPicture(const char* path, const char* failureText) {
  GiveFreshInfoBlock(&picture);
  pictureLoaded = LoadBmpImage(scene.window, path, pictureLoaded, &picture);
  if (!pictureLoaded) ShowMessageBox(nullptr, failureText, "BMP format error", MB_OK);
}

void BuildMask() {
  const SettingsRecord& s = Settings();
  if (strcmp(s.MaskPath, kBuiltinMaskName) == 0) {
    BuildBuiltinMaskEdgeRegion();
    BuildBuiltinMaskBodyRegion();
    return;
  }
  if (s.MaskPath[0] == 0) return;
  LoadSharedPicture(s.MaskPath, "Sorry, could not read the mask file (format error?)");
  if (pictureLoaded) {
    BuildMaskEdgeRegion(&picture);
    BuildMaskBodyRegion(&picture);
  }
}

LRESULT OnCreate(HWND window) {
  HINSTANCE instance = Shell().instance ? Shell().instance : GetModuleHandleA(nullptr);
  scene.instance = instance;
  scene.window = window;
  CreateScene(instance);
  BuildMask();
  MeasureScreen();
  const SettingsRecord& s = Settings();
  if (s.PicturePath[0]) LoadSharedPicture(s.PicturePath, "Sorry, could not read the file (format error?)");
  SetTimer(window, kFrameTimer, s.FramePeriod, nullptr);
  if (s.WindOn) SetTimer(window, kCalmTimer, s.GustPause, nullptr);
  return 0;
}

LRESULT OnEraseBackground(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  HDC dc = GetDC(window);
  PaintBackground(dc, client);
  // The picture goes into the same DC. A paint bracket opened here would
  // find nothing left to paint when this message comes from the bracket of
  // a WM_PAINT (every wipe of the snow), and the picture would stay away.
  if (pictureLoaded && Settings().PicturePath[0]) {
    DrawPicture(window, dc, &picture, scene.screenWidth, scene.screenHeight);
  }
  ReleaseDC(window, dc);
  return 1;
}

void FrameTick() {
  const SettingsRecord& s = Settings();
  scene.workingDC = GetDC(scene.window);
  OccupiedClipToScreen();
  if (s.SleighOn) {
    ++frameCounter;
    if (frameCounter % s.SleighFrameDivider == 0) {
      MoveSleigh();
    } else {
      const SleighState& sleigh = Sleigh();
      DrawSleigh(sleigh.sleighFrame, sleigh.sleighX, sleigh.sleighY);
    }
  }
  if (s.SnowfallOn) UpdateFlakes();
  if (s.SceneryOn) DrawTrees();
  ReleaseDC(scene.window, scene.workingDC);
}

LRESULT OnTimer(HWND window, UINT_PTR id) {
  if (id == kFrameTimer) {
    FrameTick();
  } else if (id >= kCalmTimer && id <= kFallStepTimer) {
    WindEvent(window, id);
  }
  return 0;
}

}  // namespace

SceneState& Scene() { return scene; }
BmpImage& ScenePicture() { return picture; }
int& PictureLoaded() { return pictureLoaded; }
int SceneFrameCounter() { return frameCounter; }

void PaintBackground(HDC dc, const RECT& client) {
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}

void CreateScene(HINSTANCE instance) {
  LoadSettings();
  for (HRGN* region : kSceneRegions) *region = CreateRectRgn(0, 0, 0, 0);
  MeasureScreen();
  CreateFlakeKinds();
  LoadSleighSprites(instance, Settings().SleighKind);
  for (int i = 0; i < kFlakeSlots; ++i) SpawnFlake(i);
  LoadTreeSprites(instance);
  PlaceTrees();
  ReleaseDC(scene.window, scene.workingDC);
}

void DestroyScene() {
  for (HRGN* region : kSceneRegions) {
    DeleteObject(*region);
    *region = nullptr;
  }
  DeleteMaskRegions();
  DeleteFlakeMemoryDC();
  DeleteFlakeKinds();
  DeleteSleighSprites();
  DeleteFlakeSlots();
  FreeBmpImage(&picture);
  pictureLoaded = 0;
  scene.window = nullptr;
  scene.workingDC = nullptr;
  scene.instance = nullptr;
}

LRESULT SceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:     return OnCreate(window);
    case WM_DESTROY:    DestroyScene(); return 0;
    case WM_ERASEBKGND: return OnEraseBackground(window);
    case WM_TIMER:      return OnTimer(window, wParam);
    default:            return DefaultSaverProc(window, message, wParam, lParam);
  }
}

void ApplyWindSwitch(int newValue, int oldValue) {
  if (!scene.window) return;
  if (oldValue != 0 && newValue == 0) {
    for (UINT_PTR id = kCalmTimer; id <= kFallStepTimer; ++id) KillTimer(scene.window, id);
  } else if (oldValue == 0 && newValue != 0) {
    SetTimer(scene.window, kCalmTimer, Settings().GustPause, nullptr);
  }
}

void ApplyFrameInterval(int newPeriod, int oldPeriod) {
  if (!scene.window || newPeriod == oldPeriod) return;
  KillTimer(scene.window, kFrameTimer);
  SetTimer(scene.window, kFrameTimer, newPeriod, nullptr);
}

void RearmWindTimers() {
  if (!scene.window) return;
  const SettingsRecord& s = Settings();
  HWND w = scene.window;
  const bool arm = s.WindOn != 0;
  switch (Wind().phase) {
    case kWindCalm:
      KillTimer(w, kCalmTimer);
      if (arm) SetTimer(w, kCalmTimer, s.GustPause, nullptr);
      break;
    case kWindRising:
      KillTimer(w, kRiseStepTimer);
      KillTimer(w, kRiseEndTimer);
      if (arm) {
        SetTimer(w, kRiseStepTimer, s.GustRiseStep, nullptr);
        SetTimer(w, kRiseEndTimer, s.GustRiseTime, nullptr);
      }
      break;
    case kWindFalling:
      KillTimer(w, kFallStepTimer);
      KillTimer(w, kFallEndTimer);
      if (arm) {
        SetTimer(w, kFallEndTimer, s.GustFallTime, nullptr);
        SetTimer(w, kFallStepTimer, s.GustFallStep, nullptr);
      }
      break;
    case kWindOver:
      KillTimer(w, kFallEndTimer);
      if (arm) SetTimer(w, kFallEndTimer, s.GustFallTime, nullptr);
      break;
  }
}
