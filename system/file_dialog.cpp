#include "system/file_dialog.h"

namespace {
FileDialogObserver observer = nullptr;
}  // namespace

BOOL ChooseOpenFile(OPENFILENAMEA* request) {
  return observer ? observer(request) : GetOpenFileNameA(request);
}

void SetFileDialogObserver(FileDialogObserver o) { observer = o; }
