#include "system/help_request.h"

namespace {
HelpStandIn standIn = nullptr;
}  // namespace

BOOL RequestHelp(HWND window, const char* file, UINT command, ULONG_PTR data) {
  if (standIn) return standIn(window, file, command, data);
  // The help viewer meets a file it cannot find with a question in a modal
  // box, and the dialog waits until someone answers it: without the file
  // there is no help to ask for.
  const DWORD attributes = GetFileAttributesA(file);
  if (command != HELP_QUIT &&
      (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
    return FALSE;
  }
  return WinHelpA(window, file, command, data);
}

void SetHelpStandIn(HelpStandIn s) { standIn = s; }
