// What every drawing module shares: the window they draw on (the saver
// window, or the settings dialog's live preview), the screen's size, the
// monitors that show it, and the scene's regions. The scene controller alone
// makes it (CreateSurface, when the window is created), measures it
// (MeasureSurface) and tears it down (DestroySurface); between the two the
// handles do not change, and where no scene runs (the settings dialog
// without its live preview) window and regions are null.
//
// The regions are GDI objects whose contents the modules named beside each
// change with region calls; any module may read them.
#pragma once

#include <windows.h>

// The monitors that show the scene; the window spans all that the system
// lists, and any after these show nothing of it.
constexpr int kMaxMonitors = 16;
// How far below its ground line a flake on the ground reaches: the height of
// the tallest flake.
constexpr int kFlakeReach = 7;

// A monitor that shows the scene, in the window's coordinates.
//   screen: where the scene lays out what belongs to a monitor: the
//           picture, the mask, the trees, the flakes that start on it.
//   window: the part of the saver window on it; the ground pile lies along
//           its bottom edge, where the flakes that fall on it leave, and on
//           the primary monitor the sleigh flies within its height.
// Several monitors show a full-screen window only where the system lists
// them; each is then both, but where another monitor lies right below one,
// its window ends kFlakeReach rows above its bottom edge, so that the snow
// on its ground stays wholly on it. Otherwise (one monitor, a preview,
// Windows 95 and NT 4.0) there is one: its screen is the device's, (0, 0,
// screen width, screen height), and its window reaches to the right and
// bottom edges of the window rectangle, as on a single screen. A window
// that shows the scene at its own size (the live preview) is that one
// screen.
struct Monitor {
  RECT screen;
  RECT window;
};

struct SurfaceState {
  HINSTANCE instance;   // for every resource load; null without a scene
  HWND window;          // the window the scene draws on
  // The device's full resolution, also in preview; with several monitors,
  // the size of the window, which spans them all; in the live preview, the
  // window's size.
  int screenWidth;
  int screenHeight;
  // The window in screen coordinates; with several monitors, and in the
  // live preview, in its own: (0, 0, screen width, screen height).
  RECT windowRect;
  int monitorCount;                // at least 1
  Monitor monitors[kMaxMonitors];  // the primary first

  HRGN coverRegion;       // snow/cover: where flakes come to rest
  HRGN roomRegion;        // snow/cover: where the cover may grow
  HRGN oldRectRegion;     // snow/flakes: a flake being wiped
  HRGN eraseRegion;       // sprites/: what a sprite leaves behind
  HRGN scratchRegion;     // any module, for the span of one operation
  HRGN occupiedRegion;    // snow/occupied: the occupied set off the screen
};

const SurfaceState& Surface();
// Whether a scene runs: its window and its regions exist. Every change the
// settings dialog applies does nothing where none does.
bool SceneRunning();

// Paints the background into dc over the client rectangle.
using BackgroundPainter = void (*)(HDC dc, const RECT& client);

// How the scene is laid out in its window.
enum class SurfaceSpan {
  kMonitors,      // the full-screen saver: each monitor the system lists
  kDeviceScreen,  // a preview child: one screen of the device's size, whose
                  // top-left part the window shows
  kWindow,        // the live preview: one screen of the window's own size
};

// The surface of a new window: its regions made empty, its monitors found,
// the screen measured. background paints what RepaintRegion repaints.
void CreateSurface(HWND window, HINSTANCE instance, BackgroundPainter background, SurfaceSpan span);
// Reads the device's resolution and the window's place again, and lays the
// monitors found at creation out in the window.
void MeasureSurface();
// Deletes the regions; window and instance become null.
void DestroySurface();

// Whether any of r lies on a monitor: elsewhere in the window (a gap
// between monitors of different sizes) nothing is drawn.
bool OnMonitor(const RECT& r);
// The monitor whose screen holds p; -1 where none does.
int MonitorAt(POINT p);

// The monitors' shares laid end to end, share(m) pixels each (none where
// that is 0 or less): their total, and the monitor on which a place along
// them lies, along becoming the place on its share (the primary where the
// total is 0). Things that stand on every monitor, in proportion to its
// share, are placed so.
using MonitorShare = int (*)(const Monitor& m);
int MonitorSharesTotal(MonitorShare share);
int MonitorAlong(MonitorShare share, int* along);

// The DC that a frame draws into: the saver window's, taken and given back
// by the one who draws.
HDC TakeSurfaceDC();
void GiveBackSurfaceDC(HDC dc);
// From now on every frame draws into dc, and repaints paint into it, instead
// of the saver window's DC (null: the window's again): a memory surface as
// large as the monitors a test or benchmark lays out, larger than any screen
// it has.
void DrawOnMemorySurface(HDC dc);

// Has the saver window repaint its background inside the region at once;
// everything drawn there goes. A null region, or no window, does nothing.
void RepaintRegion(HRGN region);

// Drawing over watched rectangles. A module whose pictures must be drawn
// again only where something else drew over them (the trees) watches their
// rectangles; every step that writes to the saver window says what it wrote;
// the watcher asks once a frame whether anything was written over each
// rectangle since it last asked. A rectangle newly watched counts as written
// over, since nothing of it has been drawn yet.
constexpr int kWatchedRects = 8;
void WatchRect(int slot, const RECT& r);  // slot 0 .. kWatchedRects - 1
// Whether anything was written over the slot's rectangle; asking clears it.
bool TakeWrittenOver(int slot);
void WrittenOver(const RECT& r);
void WrittenEverywhere();
