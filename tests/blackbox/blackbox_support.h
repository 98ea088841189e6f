// The shipped saver started as the system starts it, as a separate process,
// and what the tests need to drive it from outside.
#pragma once

#include <windows.h>

#include <string>

#include "support/test_support.h"

extern const char kSaverClass[];
extern const char kDialogClass[];
extern const char kDialogTitle[];   // the settings dialog's

// The Nivalo.scr under test, as a Windows path: ctest runs these tests once
// for each shipped build that this machine can start, naming it in the
// environment variable NIVALO_SCR (a Unix path).
std::string SaverPath();

struct Saver {
  PROCESS_INFORMATION pi{};
  bool started = false;

  // Starts Nivalo.scr (or the program named) with the arguments and waits
  // until it idles.
  explicit Saver(const std::string& arguments, const std::string& program = SaverPath());
  // Ends a process that still runs.
  ~Saver();
  // Waits for the process to end; its exit code, or -2 when it still runs.
  long Exit(DWORD ms = 10000);
};

int CountSaverWindows();
void PressKey(BYTE vk);
void MoveMouseTo(int x, int y);
void RightClick();
// Another process's window appearing cannot be waited on; looks for it
// every 20 ms for up to 10 s. Only a visible window counts: a dialog is
// shown once its controls exist and it has been initialised.
HWND AwaitWindow(const char* cls, const char* title);

// A click that may open a modal window in the other process: posted, so
// that the test is not held until it closes.
void PostClick(HWND dialog, int control);
// Clicks the dialog's button that opens the system's file dialog, and
// chooses the path there; false when the file dialog does not come.
bool ChooseFile(HWND dialog, int button, const std::string& path);
Capture CaptureScreen();
// Drawing reaches the screen a moment after it is done: waits (as
// AwaitWindow) until the whole screen shows the saver's grey alone.
bool AwaitGreyScreen();
