// The settings dialog's live preview: the real scene, as the saver runs it,
// in a window of its own that covers the dialog's monitor behind the dialog.
// It never takes the focus or the foreground, a click on it does nothing,
// and input does not end it: only the dialog does.
#pragma once

#include <windows.h>

extern const char kLivePreviewClassName[];

// Shows the scene behind the dialog with the settings as they stand; false
// when its window cannot be made.
bool StartLivePreview(HWND dialog);
// Takes the scene away again; nothing when none runs.
void EndLivePreview();
// The live preview's window, or null.
HWND LivePreviewWindow();
