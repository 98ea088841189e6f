// The shipped saver started as the system starts it, as a separate process,
// and what the tests need to drive it from outside.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
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

// What another process does cannot be waited on: asks done() every 20 ms,
// handling this thread's messages between, for up to ms; whether it came.
bool Await(const std::function<bool()>& done, DWORD ms = 10000);
// A visible window of that class and title (a dialog is shown once its
// controls exist and it has been initialised), or null after 10 s.
HWND AwaitWindow(const char* cls, const char* title);
// The screen, read until it shows what is asked for (or for up to ms).
Capture AwaitScreen(const std::function<bool(const Capture&)>& shows, DWORD ms = 10000);
bool AwaitGreyScreen();  // the whole screen in the saver's grey alone
Capture CaptureScreen();

int CountSaverWindows();
// A top-level window standing in for the display settings, which hosts a
// preview (/p).
HWND DisplayProperties();
void PressKey(BYTE vk);
void MoveMouseTo(int x, int y);
void RightClick();
// A click that may open a modal window in the other process: posted, so
// that the test is not held until it closes.
void PostClick(HWND dialog, int control);
// Clicks the dialog's button that opens the system's file dialog, and
// chooses the path there; false when the file dialog does not come.
bool ChooseFile(HWND dialog, int button, const std::string& path);

// Tests that start from no stored settings, and leave none.
class WithoutStoredSettings : public testing::Test {
 protected:
  void SetUp() override { ClearStoredSettings(); }
  void TearDown() override { ClearStoredSettings(); }
};
