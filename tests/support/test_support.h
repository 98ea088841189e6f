// Helpers shared by the test programs: stored settings, message boxes seen
// instead of shown, and a real saver window whose scene a test can step.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/settings.h"

// Removes the stored settings value and key.
void ClearStoredSettings();

// Stores the defaults, changed by edit, so that the next scene loads them.
void StoreSettings(const std::function<void(SettingsRecord&)>& edit);

struct SeenMessageBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

// From now on every message box of the program is recorded here and
// answered with IDOK instead of being shown.
std::vector<SeenMessageBox>& RecordMessageBoxes();

// Creates a full-screen saver window (as the /s mode does) or a preview
// child of parent; the scene is built by its creation message.
HWND CreateSaverWindow(HWND parent = nullptr);

// Drives the frame tick n times, as timer 1 would.
void RunFrames(HWND saver, int n);

// Sends a wind timer expiry, as timers 2 to 6 would.
void RunWindTimer(HWND saver, UINT_PTR id);

// Removes every message waiting for this thread (timers included) without
// dispatching it.
void DropPendingMessages();

// The colour of a screen pixel of the saver window's DC.
COLORREF PixelAt(HWND saver, int x, int y);
