#include "system/beep.h"

namespace {
BeepObserver observer = nullptr;
}  // namespace

void SoundBeep(UINT type) {
  if (observer) {
    observer(type);
  } else {
    MessageBeep(type);
  }
}

void SetBeepObserver(BeepObserver o) { observer = o; }
