#include "shell/message_box.h"

namespace {
MessageBoxObserver observer = nullptr;
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  if (observer) return observer(owner, text, caption, type);
  return MessageBoxA(owner, text, caption, type);
}

void SetMessageBoxObserver(MessageBoxObserver o) { observer = o; }
