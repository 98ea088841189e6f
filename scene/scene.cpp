#include "scene/scene.h"

#include <climits>
#include <cstring>

#include "images/mask_region.h"
#include "images/picture.h"
#include "scene/display_push.h"
#include "scene/scene_state.h"
#include "settings/settings.h"
#include "shell/saver_window.h"
#include "shell/shell_state.h"
#include "snow/cover.h"
#include "snow/flake_drawing.h"
#include "snow/flakes.h"
#include "snow/occupied.h"
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

// Reads a file into the shared picture; a file that holds no picture is
// told with the given message.
void LoadSharedPicture(const char* path, const char* formatText) {
  if (!LoadScenePicture(path)) ReportBmpFailure(nullptr, formatText);
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
  scene.instance = Shell().instance ? Shell().instance : GetModuleHandleA(nullptr);
  scene.window = window;
  CreateScene(scene.instance);
  BuildMask();
  MeasureScreen();
  const SettingsRecord& s = Settings();
  if (s.PicturePath[0]) LoadSharedPicture(s.PicturePath, "Sorry, could not read the file (format error?)");
  SetTimer(window, kFrameTimer, s.FramePeriod, nullptr);
  if (s.WindOn) SetTimer(window, kCalmTimer, s.GustPause, nullptr);
  return 0;
}

LRESULT OnEraseBackground(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  PaintBackground(dc, client);
  return 1;
}

void FrameTick() {
  const SettingsRecord& s = Settings();
  HDC dc = GetDC(scene.window);
  OccupiedClipToScreen();
  StartFramePushes((s.SnowfallOn ? s.FlakeCount : 0) + (s.SleighOn ? 1 : 0) + (s.SceneryOn ? kTrees : 0));
  if (s.SleighOn) {
    // Past its largest value the count starts again at 0: it never
    // overflows, and the modulo stays defined for every divider.
    frameCounter = frameCounter == INT_MAX ? 0 : frameCounter + 1;
    if (frameCounter % s.SleighFrameDivider == 0) {
      MoveSleigh(dc);
    } else {
      const SleighState& sleigh = Sleigh();
      DrawSleigh(dc, sleigh.sleighFrame, sleigh.sleighX, sleigh.sleighY);
    }
    SpriteDrawn();
  }
  if (s.SnowfallOn) UpdateFlakes(dc);
  // The first flake updated after a gust calms the air; in a frame without
  // one the tick does it, or the sleigh would wait for the next gust.
  CalmFinishedGust();
  if (s.SceneryOn) DrawTrees(dc);
  ReleaseDC(scene.window, dc);
}

LRESULT OnTimer(UINT_PTR id) {
  if (id == kFrameTimer) {
    FrameTick();
  } else if (IsWindTimer(id)) {
    WindEvent(scene.window, id);
  }
  return 0;
}

}  // namespace

const SceneState& Scene() { return scene; }
const BmpImage& ScenePicture() { return picture; }
int PictureLoaded() { return pictureLoaded; }
int SceneFrameCounter() { return frameCounter; }
void ResetScene(int frameCount) { frameCounter = frameCount; }

int LoadScenePicture(const char* path) {
  GiveFreshInfoBlock(&picture);
  pictureLoaded = LoadBmpImage(scene.window, path, pictureLoaded, &picture);
  return pictureLoaded;
}

void RepaintScenePicture() {
  if (scene.window) PaintPicture(scene.window, &picture);
}

void PaintBackground(HDC dc, const RECT& client) {
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  // A mask file that was loaded while no picture is set is never painted.
  if (pictureLoaded && Settings().PicturePath[0]) {
    DrawPicture(scene.window, dc, &picture, scene.screenWidth, scene.screenHeight);
  }
}

void MeasureScreen() {
  HDC dc = GetDC(scene.window);
  GetWindowRect(scene.window, &scene.windowRect);
  scene.screenWidth = GetDeviceCaps(dc, HORZRES);
  scene.screenHeight = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(scene.window, dc);
  OccupiedFitScreen();
  BuildCover();
  BuildRoom();
}

void RepaintRegion(HRGN region) {
  if (!region || !scene.window) return;
  InvalidateRgn(scene.window, region, TRUE);
  UpdateWindow(scene.window);
}

void CreateScene(HINSTANCE instance) {
  LoadSettings();
  for (HRGN* region : kSceneRegions) *region = CreateRectRgn(0, 0, 0, 0);
  CreateOccupiedSet();
  MeasureScreen();
  CreateFlakeKinds();
  CreateFlakeDrawing();
  CreateSpriteDrawing();
  CreateSleighDrawing();
  LoadSleighSprites(instance, Settings().SleighKind);
  for (int i = 0; i < kFlakeSlots; ++i) SpawnFlake(i);
  LoadTreeSprites(instance);
  PlaceTrees();
}

void DestroyScene() {
  for (HRGN* region : kSceneRegions) {
    DeleteObject(*region);
    *region = nullptr;
  }
  DeleteMaskRegions();
  DeleteFlakeDrawing();
  DeleteSpriteDrawing();
  DeleteFlakeKinds();
  DeleteSleighSprites();
  DeleteSleighDrawing();
  DeleteTreeSprites();
  DeleteOccupiedSet();
  ForgetCover();
  FreeBmpImage(&picture);
  pictureLoaded = 0;
  scene.window = nullptr;
  scene.instance = nullptr;
}

LRESULT SceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:     return OnCreate(window);
    case WM_DESTROY:    DestroyScene(); return 0;
    case WM_ERASEBKGND: return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_TIMER:      return OnTimer(wParam);
    default:            return DefaultSaverProc(window, message, wParam, lParam);
  }
}

void ApplyFrameInterval(int newPeriod, int oldPeriod) {
  if (!scene.window || newPeriod == oldPeriod) return;
  KillTimer(scene.window, kFrameTimer);
  SetTimer(scene.window, kFrameTimer, newPeriod, nullptr);
}
