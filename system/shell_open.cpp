#include "system/shell_open.h"

#include <shellapi.h>

namespace {
ShellOpenStandIn standIn = nullptr;
}  // namespace

HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, const char* parameters,
                    const char* directory, int show) {
  if (standIn) return standIn(owner, verb, file, parameters, directory, show);
  return ShellExecuteA(owner, verb, file, parameters, directory, show);
}

void SetShellOpenStandIn(ShellOpenStandIn s) { standIn = s; }
