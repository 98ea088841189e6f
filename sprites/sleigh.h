// Santa's sleigh: four frames crossing the screen pass after pass, in front
// of the snow, pushed and bobbing in gusts.
#pragma once

#include <windows.h>

// Sprite sets: 0, 1, 2 small, medium, large; 3, 4, 5 the same with the lead
// reindeer's red nose; 6 the large one whose red nose blinks.
constexpr int kSleighKinds = 7;

struct SleighState {
  HBITMAP sleighImages[4];
  HBITMAP sleighMasks[4];
  int sleighX;
  int sleighY;
  int sleighFrame;
  int sleighWidth;
  int backgroundPending;     // 1 until the first save of a pass
  int gustPush;              // extra speed built up in a gust, 0..60
  int bobCount;              // 0..5, moves counted for the bobbing
  int bobSign;               // +1 or -1
};

const SleighState& Sleigh();

// The sleigh's background store, made once with the scene, freed with it.
void CreateSleighDrawing();
void DeleteSleighDrawing();

void LoadSleighSprites(HINSTANCE instance, int kind);
void StartSleighPass();
void DrawSleigh(HDC dc, int frame, int x, int y);
void MoveSleigh(HDC dc);
void RemoveSleigh(int frame, int x, int y);
void ApplySleighSwitch(int newValue, int oldValue);
// A new sprite set: the sleigh is taken off the screen, the set loaded, and
// the sleigh goes on from where it was, from frame 0.
void ChangeSleighKind(HINSTANCE instance, int kind);
// The screen under the sleigh into its background store, and back.
void SaveSleighBackground(HDC dc);
void RestoreSleighBackground(HDC dc, int x, int y);
// Deletes the images and masks of the set loaded now.
void DeleteSleighSprites();
