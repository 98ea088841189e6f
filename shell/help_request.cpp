#include "shell/help_request.h"

namespace {
HelpObserver observer = nullptr;
}  // namespace

BOOL RequestHelp(HWND window, const char* file, UINT command, ULONG_PTR data) {
  return observer ? observer(window, file, command, data) : WinHelpA(window, file, command, data);
}

void SetHelpObserver(HelpObserver o) { observer = o; }
