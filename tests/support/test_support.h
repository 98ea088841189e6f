// Helpers shared by the test programs: stored settings, message boxes seen
// instead of shown, a real saver window whose scene a test steps frame by
// frame, screen captures, and a copy of the generator to predict its draws.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings.h"
#include "support/seams.h"

// Removes the stored settings value and its keys.
void ClearStoredSettings();
// The record the registry holds now (the process's own record stays), and
// the stored value's bytes, empty when there is none; keyExists says whether
// its key does.
SettingsRecord StoredRecord();
std::vector<uint8_t> StoredSettingsValue(bool* keyExists = nullptr);
using SettingsEdit = std::function<void(SettingsRecord&)>;
// Stores the defaults, changed by edit, so that the next scene loads them.
void StoreSettings(const SettingsEdit& edit);
// Changes the live settings, as the settings dialog does.
void ChangeSettings(const SettingsEdit& edit);
// Sets the Windows 95/98 password flag "ScreenSaveUsePassword"; a negative
// value removes it.
void SetPasswordFlag(int value);

struct SeenMessageBox { HWND owner; std::string text, caption; UINT type; };
// From now on every message box of the program is recorded here (emptied
// by this call) and answered with IDOK instead of being shown.
std::vector<SeenMessageBox>& RecordMessageBoxes();

struct SeenShellCall { HWND owner; std::string verb, file, parameters; bool hasDirectory; int show; };
// From now on every request to the shell is recorded here (emptied by this
// call) instead of being carried out.
std::vector<SeenShellCall>& RecordShellCalls();

// From now on every timer the program arms is recorded here, as its id and
// period (emptied by this call); the timers are armed as ever.
using SeenTimer = std::pair<UINT_PTR, UINT>;
std::vector<SeenTimer>& RecordTimers();

// Writes the bytes into a file of that name in the temporary folder and
// returns its full path.
std::string WriteTempFile(const char* name, const std::string& bytes);

// A saver window made as the /s mode (or, with a parent, the /p mode) makes
// it, with the defaults changed by edit stored first. The scene is built
// from the generator's and the wind's start, as in a process of its own.
// Message boxes are recorded, the window is painted once, pending timers are
// dropped, and the generator and the wind are put back to their start again,
// so that a test sees known draws from here on.
HWND StartSaver(const SettingsEdit& edit = [](SettingsRecord&) {}, HWND parent = nullptr);
// Destroys it, unregisters its class and puts the shell back to its start.
void StopSaver(HWND saver);
// What StartSaver does once a window with a scene is made: paints it once,
// drops pending timers, puts the generator and the wind back to their start.
void SettleScene(HWND w);

// Removes the window's waiting messages of that kind; how many there were.
int TakeMessages(HWND w, UINT message);
// Drives the frame tick n times, as timer 1 would, and a wind timer expiry.
void RunFrames(HWND saver, int n);
void RunWindTimer(HWND saver, UINT_PTR id);
// Which of the timers from first to 6 are armed, as digits ("135"):
// KillTimer tells, and each found is armed again.
std::string ArmedTimers(HWND w, UINT_PTR first = 2);

// A window's text, also that of another process's control; empty when its
// thread does not answer within a second.
std::string WindowText(HWND window);

// The pixels (0x00RRGGBB) of a DC's top-left width x height, row by row.
struct Capture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool operator==(const Capture& o) const { return pixels == o.pixels; }
};
Capture CaptureDC(HDC dc, int width, int height);
Capture CaptureSaver(HWND saver);  // the whole screen of the scene

// Stripes of several colours over the whole window, so that a pixel put back
// in the wrong place shows.
void PaintDetail(HWND saver);

// How many more GDI objects this process could make (Wine gives no count of
// the objects a process holds): fewer after a leak.
int FreeGdiPlaces();
// The same for USER objects (windows, menus, cursors), which Wine does not
// count either; the table is the session's, and an idle one does not change.
int FreeUserPlaces();

// The program's generator, as a separate copy: predicts what RandomBelow
// returns without disturbing the real one.
struct Lcg {
  uint32_t state = 1;
  int Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
  int Below(int n) { return n == 0 ? 0 : Next() % n; }
};
