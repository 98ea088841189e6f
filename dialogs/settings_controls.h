// The settings dialog's controls and the settings record: filling the
// controls from the record, and reading them back with corrections, each
// change handed to the module that owns the setting.
#pragma once

#include <windows.h>

#include "settings/settings.h"

void FillSettingsControls(HWND dialog);
// Reads every control into the settings, and hands each change on to the
// scene, when one runs (the live preview), with the value before. A typed
// path that changed is read at once, and a file that cannot be read is
// reported.
void ApplySettingsControls(HWND dialog);
// Settings just reset or loaded, shown in the controls and applied as if
// the user had changed every control from what it showed before.
void ShowReloadedSettings(HWND dialog, const SettingsRecord& shown);

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
