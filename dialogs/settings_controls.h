// The settings dialog's controls and the settings record: filling the
// controls from the record, and reading them back with corrections, each
// change handed to the module that owns the setting.
#pragma once

#include <windows.h>

void FillSettingsControls(HWND dialog);
// With force set, every switch is handed on as if it had been on before, so
// that only the switches now off are carried out, and the frame timer and
// the sleigh's sprites are set up anew.
void ApplySettingsControls(HWND dialog, int force);

// Sleigh size 0 small, 1 medium, 2 large; layout 0 stretched, 1 centred,
// 2 tiled.
void CheckSleighSizeRadio(HWND dialog, int size);
void CheckLayoutRadio(HWND dialog, int layout);

// Tells a test each live-apply operation the controls hand a change to,
// with the two values passed, just before it runs; null stops it.
using LiveApplyObserver = void (*)(const char* operation, int first, int second);
void SetLiveApplyObserver(LiveApplyObserver observer);
