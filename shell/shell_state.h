// Process-wide facts the shell sets up and the rest of the saver reads.
#pragma once

#include <windows.h>

struct ShellState {
  HINSTANCE instance;     // the program's module, for every resource load
  int win9xPlatform;      // 1 on Windows 95/98
  int previewMode;        // 1 once the saver window is a preview child
  UINT autoPlayMessage;   // "QueryCancelAutoPlay" on Windows 95/98, else 0
  HWND saverWindow;       // the window RunSaverWindow made, or null
};

ShellState& Shell();

// 1 when GetVersionExA reports the Windows 95/98 family.
int DetectWin9xPlatform();
