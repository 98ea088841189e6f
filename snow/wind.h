// Gusts of wind, driven by timers 2 to 6 on the saver window: a calm pause,
// then a gust that rises step by step, falls again and is over.
#pragma once

#include <windows.h>

enum WindPhase { kWindCalm = 0, kWindRising = 1, kWindFalling = 2, kWindOver = 3 };

struct WindState {
  int phase;      // WindPhase
  int strength;   // sideways push in pixels per frame
  int direction;  // +1 to the right, -1 to the left, 0 before the first gust
};

const WindState& Wind();

enum WindTimer : UINT_PTR {
  kCalmTimer = 2,      // GustPause: a gust starts
  kRiseEndTimer = 3,   // GustRiseTime: the rise ends
  kFallEndTimer = 4,   // GustFallTime: the gust is over
  kRiseStepTimer = 5,  // GustRiseStep: strength + 1
  kFallStepTimer = 6,  // GustFallStep: strength - 1
};
bool IsWindTimer(UINT_PTR id);

// The schedule on a new scene: the calm timer, when the wind is on.
void StartWind();
// The schedule stands still: the timers that run are killed, and armed again
// on resuming, those that run out once for the time they had left.
void PauseWind();
void ResumeWind();

// One expiry of timer 2..6; any other id does nothing. The timers always
// live on the scene's saver window; the window given is not needed.
void WindEvent(HWND window, UINT_PTR timerId);

// The two steps of the schedule that the flakes take as they move: the first
// flake after a gust is over calms the air (the frame tick does it where no
// flake moved), and a rising gust that has grown past GustMax is held there,
// now and then turning round at a third of it.
void CalmFinishedGust();
void CapRisingGust();

// The settings dialog's changes: the wind switch (old value -1 when it
// applies everything at once) and new periods for the current phase.
void ApplyWindSwitch(int newValue, int oldValue);
void RearmWindTimers();
