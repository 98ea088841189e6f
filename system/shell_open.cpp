#include "system/shell_open.h"

#include <shellapi.h>

namespace {
ShellOpenObserver observer = nullptr;
}  // namespace

HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, const char* parameters,
                    const char* directory, int show) {
  if (observer) return observer(owner, verb, file, parameters, directory, show);
  return ShellExecuteA(owner, verb, file, parameters, directory, show);
}

void SetShellOpenObserver(ShellOpenObserver o) { observer = o; }
