// The settings dialog's controls and the settings record: filling the
// controls from the record, and reading them back with corrections, each
// change handed to the module that owns the setting.
#pragma once

#include <windows.h>

void FillSettingsControls(HWND dialog);
// A typed path that changed is read at once, and a file that cannot be
// read is reported. With force set, every switch is handed on as if it had been on before, so
// that only the switches now off are carried out, and the frame timer and
// the sleigh's sprites are set up anew.
void ApplySettingsControls(HWND dialog, int force);

// Tells the user in a box owned by the dialog when the file that the path
// of the picture edit or the mask edit names cannot be read; an empty path,
// and the built-in mask's name, name no file. Nothing else changes: the
// path stays, and the saver runs without the file.
void ReportUnreadableFile(HWND dialog, int pathEdit, const char* path);
// The same box for the file of the path edit whose reading just failed.
void ReportFileFailure(HWND dialog, int pathEdit, const char* path);

// Sleigh size 0 small, 1 medium, 2 large; layout 0 stretched, 1 centred,
// 2 tiled.
void CheckSleighSizeRadio(HWND dialog, int size);
void CheckLayoutRadio(HWND dialog, int layout);

// Tells a test each live-apply operation the controls hand a change to,
// with the two values passed, just before it runs; null stops it.
using LiveApplyObserver = void (*)(const char* operation, int first, int second);
void SetLiveApplyObserver(LiveApplyObserver observer);
