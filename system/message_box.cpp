#include "system/message_box.h"

#include "system/shell_state.h"

namespace {
MessageBoxObserver observer = nullptr;
int boxesShowing = 0;
}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  if (Shell().unattended) return IDOK;
  ++boxesShowing;
  const int answer = observer ? observer(owner, text, caption, type)
                              : MessageBoxA(owner, text, caption, type);
  --boxesShowing;
  return answer;
}

bool OwnMessageBoxShowing() { return boxesShowing > 0; }

void SetMessageBoxObserver(MessageBoxObserver o) { observer = o; }
