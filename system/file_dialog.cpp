#include "system/file_dialog.h"

namespace {
FileDialogStandIn standIn = nullptr;
}  // namespace

BOOL ChooseOpenFile(OPENFILENAMEA* request) {
  return standIn ? standIn(request) : GetOpenFileNameA(request);
}

void SetFileDialogStandIn(FileDialogStandIn s) { standIn = s; }
