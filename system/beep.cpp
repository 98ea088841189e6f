#include "system/beep.h"

namespace {
BeepStandIn standIn = nullptr;
}  // namespace

void SoundBeep(UINT type) {
  if (standIn) {
    standIn(type);
  } else {
    MessageBeep(type);
  }
}

void SetBeepStandIn(BeepStandIn s) { standIn = s; }
