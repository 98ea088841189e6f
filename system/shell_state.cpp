#include "system/shell_state.h"

namespace {
ShellState shell{};
}  // namespace

const ShellState& Shell() { return shell; }

void StartShell(HINSTANCE instance) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
  const bool known = GetVersionExA(&version);
  shell.instance = instance;
  shell.win9xPlatform = known && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
  shell.majorVersion = known ? version.dwMajorVersion : 0;
  shell.unattended = 0;  // until the mode says otherwise
}

void EnterPreviewMode() { shell.previewMode = 1; }
void EnterUnattendedMode() { shell.unattended = 1; }

void RegisterAutoPlayMessage() {
  shell.autoPlayMessage = shell.win9xPlatform ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;
}

// A test seam (tests/support/seams.h); the program never calls it.
void ResetShellState() { shell = ShellState{}; }
