#include "scene/scene.h"

#include <climits>
#include <cstring>

#include "images/bmp_loader.h"
#include "images/desktop.h"
#include "images/mask_region.h"
#include "images/picture.h"
#include "settings/settings.h"
#include "snow/cover.h"
#include "snow/flake_drawing.h"
#include "snow/flakes.h"
#include "snow/occupied.h"
#include "snow/wind.h"
#include "sprites/sleigh.h"
#include "sprites/sprite_blit.h"
#include "sprites/trees.h"
#include "surface/surface.h"
#include "system/timer.h"

namespace {

constexpr UINT kFlashMilliseconds = 1000;

int frameCounter = 0;
int pictureLoaded = 0;
BmpImage picture{};
SurfaceSpan sceneSpan = SurfaceSpan::kMonitors;
HRGN flashRegion = nullptr;  // what a running flash shows inverted
bool flashing = false;
bool paused = false;  // while the display is off

// Reads a file into the shared picture (releasing what the last one made);
// a file that holds no picture is told with the given message, naming the
// file by its role.
void LoadSharedPicture(const char* role, const char* path, const char* formatText,
                       UnreadableFiles files) {
  ClearBmpInfo(&picture);
  pictureLoaded = LoadBmpImage(path, pictureLoaded, &picture);
  if (pictureLoaded || files == UnreadableFiles::kQuiet) return;
  ReportBmpFailure(nullptr, role, path, formatText);
}

// The mask's edge and body laid out on each monitor's screen. With several
// monitors, one whose mask would need more rectangles than the settings
// allow shows none, and the message comes once (or, kept quiet, never).
void BuildMask(UnreadableFiles files) {
  const SettingsRecord& s = Settings();
  const SurfaceState& surface = Surface();
  const bool builtin = strcmp(s.MaskPath, kBuiltinMaskName) == 0;
  if (!builtin) {
    if (s.MaskPath[0] == 0) return;
    LoadSharedPicture("Mask", s.MaskPath, kUnreadableMaskText, files);
    if (!pictureLoaded) return;
  }
  const bool several = surface.monitorCount > 1;
  bool cutTold = files == UnreadableFiles::kQuiet;
  for (int i = 0; i < surface.monitorCount; ++i) {
    const RECT& m = surface.monitors[i].screen;
    const MaskLayout laid{m.right - m.left, m.bottom - m.top, s.PictureLayout, s.MaskMaxRects,
                          several || cutTold ? &cutTold : nullptr};
    HRGN laidOut[2];
    bool cut = false;
    for (MaskRegionKind kind : {kMaskEdge, kMaskBody}) {
      laidOut[kind] = builtin ? BuiltinMaskRegion(surface.instance, kind, laid)
                              : UserMaskRegion(&picture, surface.window, kind, laid);
      cut = cut || MaskRectCount() > s.MaskMaxRects;
    }
    for (MaskRegionKind kind : {kMaskEdge, kMaskBody}) {
      if (several && cut) {
        if (laidOut[kind]) DeleteObject(laidOut[kind]);
      } else {
        AddMaskRegion(kind, laidOut[kind], m.left, m.top);
      }
    }
  }
}

// The shared picture on each monitor's screen, laid out as the settings say,
// and nothing of it elsewhere.
void DrawPictureOnMonitors(HDC dc) {
  const SurfaceState& surface = Surface();
  for (int i = 0; i < surface.monitorCount; ++i) {
    const RECT& m = surface.monitors[i].screen;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, m.left, m.top, m.right, m.bottom);
    OffsetViewportOrgEx(dc, m.left, m.top, nullptr);
    DrawPicture(surface.window, dc, &picture, m.right - m.left, m.bottom - m.top,
                Settings().PictureLayout);
    RestoreDC(dc, saved);
  }
}

// Everything of the scene but its timers, in the order that fixes the
// random draws.
void BuildScene(HWND window, HINSTANCE instance, UnreadableFiles files) {
  CreateSurface(window, instance, PaintBackground, sceneSpan);
  CreateOccupiedSet();
  FitSceneToScreen();
  CreateFlakeKinds();
  CreateFlakeDrawing();
  CreateSpriteDrawing();
  CreateSleighDrawing();
  LoadSleighSprites(instance, Settings().SleighKind);
  for (int i = 0; i < kFlakeSlots; ++i) SpawnFlake(i);
  LoadTreeSprites(instance);
  PlaceTrees();
  BuildMask(files);
  FitSceneToScreen();
  // The desktop, where it was taken, shows instead of the picture.
  const char* path = Settings().PicturePath;
  if (path[0] && !DesktopShown()) LoadSharedPicture("Picture", path, kUnreadablePictureText, files);
  flashRegion = CreateRectRgn(0, 0, 0, 0);
}

// Inverts the flashed region on the scene's window.
void InvertFlash() {
  HDC dc = TakeSurfaceDC();
  InvertRgn(dc, flashRegion);
  GiveBackSurfaceDC(dc);
}

LRESULT OnEraseBackground(HWND window, HDC dc) {
  RECT client, painted;
  GetClientRect(window, &client);
  PaintBackground(dc, client);
  if (GetClipBox(dc, &painted) != ERROR) WrittenOver(painted);
  return 1;
}

void FrameTick() {
  const SettingsRecord& s = Settings();
  HDC dc = TakeSurfaceDC();
  OccupiedClipToScreen();
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
  }
  if (s.SnowfallOn) UpdateFlakes(dc);
  // The first flake updated after a gust calms the air; in a frame without
  // one the tick does it, or the sleigh would wait for the next gust.
  CalmFinishedGust();
  if (s.SceneryOn) DrawTrees(dc);
  GiveBackSurfaceDC(dc);
}

// A timer message that was on its way when the scene paused is dropped:
// a wind timer is armed again on resuming, for the time it had left.
LRESULT OnTimer(UINT_PTR id) {
  if (paused) return 0;
  if (id == kFrameTimer) {
    FrameTick();
  } else if (IsWindTimer(id)) {
    WindEvent(id);
  } else if (id == kFlashTimer) {
    EndSceneFlash();
  }
  return 0;
}

}  // namespace

int PictureLoaded() { return pictureLoaded; }
int SceneFrameCounter() { return frameCounter; }
// A test seam (tests/support/seams.h); the program never calls it.
void ResetScene(int frameCount) {
  frameCounter = frameCount;
  paused = false;
}

void PaintBackground(HDC dc, const RECT& client) {
  const SurfaceState& surface = Surface();
  if (DesktopShown()) {
    // Only what is to be painted, of each monitor.
    RECT clip, part;
    const RECT area = GetClipBox(dc, &clip) != ERROR && IntersectRect(&clip, &clip, &client) ? clip : client;
    for (int i = 0; i < surface.monitorCount; ++i) {
      if (IntersectRect(&part, &surface.monitors[i].screen, &area)) DrawDesktop(dc, part);
    }
    return;
  }
  const HBRUSH grey = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  if (surface.monitorCount <= 1) {
    FillRect(dc, &client, grey);
  } else {
    // The gaps between monitors of different sizes show nothing.
    for (int i = 0; i < surface.monitorCount; ++i) {
      RECT part;
      if (IntersectRect(&part, &surface.monitors[i].screen, &client)) FillRect(dc, &part, grey);
    }
  }
  // A mask file that was loaded while no picture is set is never painted.
  if (pictureLoaded && Settings().PicturePath[0]) DrawPictureOnMonitors(dc);
}

void FitSceneToScreen() {
  MeasureSurface();
  OccupiedFitScreen();
  BuildCover();
  BuildRoom();
}

void CreateScene(HWND window, HINSTANCE instance, SurfaceSpan span, UnreadableFiles files) {
  sceneSpan = span;
  BuildScene(window, instance, files);
  const SettingsRecord& s = Settings();
  ArmTimer(window, kFrameTimer, s.FramePeriod);
  StartWind();
}

void DestroyScene() {
  flashing = false;
  paused = false;
  if (flashRegion) DeleteObject(flashRegion);
  flashRegion = nullptr;
  DestroySurface();
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
}

LRESULT SceneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC otherwise) {
  switch (message) {
    case WM_DESTROY:    DestroyScene(), ForgetDesktop(); return 0;
    case WM_ERASEBKGND: return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_TIMER:      return OnTimer(wParam);
    default:            return otherwise(window, message, wParam, lParam);
  }
}

void PauseScene() {
  if (!SceneRunning() || paused) return;
  paused = true;
  KillTimer(Surface().window, kFrameTimer);
  PauseWind();
}

// Whatever the screen kept while it was off, the moving things and the
// trees are drawn again at once; the background and the snow that has
// settled on it stay as they are, since the scene cannot paint settled snow
// anew.
void ResumeScene() {
  if (!SceneRunning() || !paused) return;
  paused = false;
  ResumeWind();
  ArmTimer(Surface().window, kFrameTimer, Settings().FramePeriod);
  WrittenEverywhere();
  FrameTick();
}

bool ScenePaused() { return paused; }

void ApplyFrameInterval(int newPeriod, int oldPeriod) {
  if (!SceneRunning() || newPeriod == oldPeriod) return;
  const HWND window = Surface().window;
  KillTimer(window, kFrameTimer);
  ArmTimer(window, kFrameTimer, newPeriod);
}

void ApplyPictureAndMask() {
  if (!SceneRunning()) return;
  const HWND window = Surface().window;
  const HINSTANCE instance = Surface().instance;
  EndSceneFlash();
  DestroyScene();
  BuildScene(window, instance, UnreadableFiles::kQuiet);
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
}

void FlashSceneRegion(HRGN region) {
  if (!SceneRunning() || !region) return;
  const HWND window = Surface().window;
  EndSceneFlash();
  CombineRgn(flashRegion, region, nullptr, RGN_COPY);
  InvertFlash();
  flashing = true;
  KillTimer(window, kFrameTimer);
  ArmTimer(window, kFlashTimer, kFlashMilliseconds);
}

void EndSceneFlash() {
  if (!flashing) return;
  flashing = false;
  const HWND window = Surface().window;
  InvertFlash();
  KillTimer(window, kFlashTimer);
  ArmTimer(window, kFrameTimer, Settings().FramePeriod);
}
