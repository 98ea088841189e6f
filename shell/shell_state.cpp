#include "shell/shell_state.h"

namespace {

ShellState shell{};

// 1 when GetVersionExA reports the Windows 95/98 family.
int DetectWin9xPlatform() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
}

}  // namespace

const ShellState& Shell() { return shell; }

void StartShell(HINSTANCE instance) {
  shell.instance = instance;
  shell.win9xPlatform = DetectWin9xPlatform();
}

void EnterPreviewMode() { shell.previewMode = 1; }

void RegisterAutoPlayMessage() {
  shell.autoPlayMessage = shell.win9xPlatform ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;
}

void ResetShellState() { shell = ShellState{}; }
