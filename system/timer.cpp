#include "system/timer.h"

namespace {
TimerObserver observer = nullptr;
}  // namespace

void ArmTimer(HWND window, UINT_PTR id, UINT period) {
  if (observer) observer(window, id, period);
  SetTimer(window, id, period, nullptr);
}

void SetTimerObserver(TimerObserver o) { observer = o; }
