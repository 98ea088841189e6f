// Every beep of the program goes through here, so that a test can count
// them.
#pragma once

#include <windows.h>

void SoundBeep(UINT type);

// Replaces the real beep by a function called in its place; null puts the
// real beep back.
using BeepStandIn = void (*)(UINT type);
void SetBeepStandIn(BeepStandIn standIn);
