#include "system/message_box.h"

#include "system/process_state.h"

namespace {
MessageBoxStandIn standIn = nullptr;
int boxesShowing = 0;
}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  if (Process().unattended) return IDOK;
  ++boxesShowing;
  const int answer = standIn ? standIn(owner, text, caption, type)
                              : MessageBoxA(owner, text, caption, type);
  --boxesShowing;
  return answer;
}

bool OwnMessageBoxShowing() { return boxesShowing > 0; }

void SetMessageBoxStandIn(MessageBoxStandIn s) { standIn = s; }
