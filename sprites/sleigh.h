// Santa's sleigh: four frames crossing the screen pass after pass.
#pragma once

#include <windows.h>

struct SleighState {
  HBITMAP sleighImages[4];
  HBITMAP sleighMasks[4];
  int sleighX;
  int sleighY;
  int sleighFrame;
  int sleighWidth;
  HBITMAP sleighBackground;
  int backgroundPending;
  int gustPush;
  int bobCount;
  int bobSign;
};

const SleighState& Sleigh();

void LoadSleighSprites(HINSTANCE instance, int kind);
void StartSleighPass();
void DrawSleigh(HDC dc, int frame, int x, int y);
void MoveSleigh(HDC dc);
void RemoveSleigh(int frame, int x, int y);
void ApplySleighSwitch(int newValue, int oldValue);
// The screen under the sleigh into its background bitmap, and back.
void SaveSleighBackground(HDC dc);
void RestoreSleighBackground(HDC dc, int x, int y);
// Teardown: each frame's image, then its mask.
void DeleteSleighSprites();
// Back to the state at process start.
void ResetSleigh();
