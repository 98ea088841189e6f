// Gusts of wind, driven by timers 2 to 6 on the saver window.
#pragma once

#include <windows.h>

enum WindPhase { kWindCalm = 0, kWindRising = 1, kWindFalling = 2, kWindOver = 3 };

struct WindState {
  int phase;      // WindPhase
  int strength;   // sideways push in pixels per frame
  int direction;  // +1 to the right, -1 to the left, 0 before the first gust
};

WindState& Wind();

// One expiry of timer 2..6; any other id does nothing.
void WindEvent(HWND window, UINT_PTR timerId);

// Calm, strength 0, direction 0, as at process start.
void ResetWind();
