#include "sprites/sleigh.h"

#include "scene/scene_state.h"
#include "snow/occupied.h"
#include "snow/random.h"
#include "sprites/sprite_blit.h"

namespace {
SleighState StartState() {
  SleighState s{};
  s.bobCount = 1;
  s.bobSign = 1;
  return s;
}
SleighState sleigh = StartState();
}  // namespace

const SleighState& Sleigh() { return sleigh; }

void LoadSleighSprites(HINSTANCE, int) { StartSleighPass(); }

void StartSleighPass() {
  RECT mask{0, 0, 0, 0};
  BitmapRect(&mask, sleigh.sleighMasks[0]);
  sleigh.sleighFrame = 0;
  sleigh.sleighWidth = mask.right;
  sleigh.sleighX = -sleigh.sleighWidth;
  sleigh.sleighY = RandomBelow(Scene().windowRect.bottom);
  sleigh.backgroundPending = 1;
}

void DrawSleigh(HDC, int, int, int) {}

// Until the sprites arrive a move only steps the animation frame.
void MoveSleigh(HDC) { sleigh.sleighFrame = (sleigh.sleighFrame + 1) % 4; }

void RemoveSleigh(int, int, int) {}
void ApplySleighSwitch(int, int) {}

void SaveSleighBackground(HDC) { sleigh.backgroundPending = 0; }

void RestoreSleighBackground(HDC, int x, int y) {
  RECT size{0, 0, 0, 0};
  BitmapRect(&size, sleigh.sleighMasks[sleigh.sleighFrame & 3]);
  OccupiedRemoveRect(RECT{x, y, x + size.right, y + size.bottom});
}

void DeleteSleighSprites() {
  for (int i = 0; i < 4; ++i) {
    DeleteObject(sleigh.sleighImages[i]);
    sleigh.sleighImages[i] = nullptr;
    DeleteObject(sleigh.sleighMasks[i]);
    sleigh.sleighMasks[i] = nullptr;
  }
  DeleteObject(sleigh.sleighBackground);
  sleigh.sleighBackground = nullptr;
}

void ResetSleigh() { sleigh = StartState(); }
