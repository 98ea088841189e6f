// Every timer of the program is armed through here, so that a test can see
// the period each one asks for without waiting for it to expire.
#pragma once

#include <windows.h>

// Every timer of the program, all on the window that hosts the scene.
enum TimerId : UINT_PTR {
  kFrameTimer = 1,     // FramePeriod: a frame of the animation
  kCalmTimer = 2,      // GustPause: a gust starts
  kRiseEndTimer = 3,   // GustRiseTime: the rise ends
  kFallEndTimer = 4,   // GustFallTime: the gust is over
  kRiseStepTimer = 5,  // GustRiseStep: strength + 1
  kFallStepTimer = 6,  // GustFallStep: strength - 1
  kFlashTimer = 7,     // a second after a region is flashed: it goes back
};

// Arms (or arms anew) the window's timer with the id.
void ArmTimer(HWND window, UINT_PTR id, UINT period);

// A function told of every timer armed from now on, before the system arms
// it; null tells nobody.
using TimerObserver = void (*)(HWND window, UINT_PTR id, UINT period);
void SetTimerObserver(TimerObserver observer);
