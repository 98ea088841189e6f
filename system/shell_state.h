// Process-wide facts that the shell finds out as a mode starts and every
// module may read. Only the shell changes them, through the operations below.
#pragma once

#include <windows.h>

struct ShellState {
  HINSTANCE instance;     // the program's module, for every resource load
  int win9xPlatform;      // 1 on Windows 95/98
  DWORD majorVersion;     // the system's major version (4 up to Me and NT 4.0, 6 from Vista on)
  int previewMode;        // 1 once the saver window is a preview child
  int unattended;         // 1 in full screen and preview: nobody answers a message box
  UINT autoPlayMessage;   // "QueryCancelAutoPlay" on Windows 95/98, else 0
};

const ShellState& Shell();

// Remembers the program's module and finds out the system's version and
// whether it is of the Windows 95/98 family. The first thing every mode does.
void StartShell(HINSTANCE instance);
// The saver window becomes a preview child from here on.
void EnterPreviewMode();
// The saver runs as the system started it, full screen or as a preview,
// while nobody may be there: from here on no message box is shown.
void EnterUnattendedMode();
// Registers "QueryCancelAutoPlay" on Windows 95/98; elsewhere it stays 0.
void RegisterAutoPlayMessage();
