// Every timer of the program is armed through here, so that a test can see
// the period each one asks for without waiting for it to expire.
#pragma once

#include <windows.h>

// Arms (or arms anew) the window's timer with the id.
void ArmTimer(HWND window, UINT_PTR id, UINT period);

// A function told of every timer armed from now on, before the system arms
// it; null tells nobody.
using TimerObserver = void (*)(HWND window, UINT_PTR id, UINT period);
void SetTimerObserver(TimerObserver observer);
