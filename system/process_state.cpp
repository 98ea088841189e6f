#include "system/process_state.h"

namespace {
ProcessState process{};
}  // namespace

const ProcessState& Process() { return process; }

void InitProcessState(HINSTANCE instance) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
  const bool known = GetVersionExA(&version);
  process.instance = instance;
  process.win9xPlatform = known && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
  process.majorVersion = known ? version.dwMajorVersion : 0;
  process.unattended = 0;  // until the mode says otherwise
}

void EnterPreviewMode() { process.previewMode = 1; }
void EnterUnattendedMode() { process.unattended = 1; }

void RegisterAutoPlayMessage() {
  process.autoPlayMessage = process.win9xPlatform ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;
}

// A test seam (tests/support/seams.h); the program never calls it.
void ResetProcessState() { process = ProcessState{}; }
