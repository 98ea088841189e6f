#include "surface/display_push.h"

#include <windows.h>

namespace {

// Up to this many sprites a frame, a copy per sprite costs less than one
// copy around all of them (measured under Wine on a 1920 x 1080 screen).
constexpr int kFewSprites = 150;

bool pushEach = false;

}  // namespace

void StartFramePushes(int sprites) { pushEach = sprites <= kFewSprites; }

void SpriteDrawn() {
  if (pushEach) GetAsyncKeyState(VK_SHIFT);
}
