// The saver window as the system expects a screen saver's: its class, its
// creation full screen or as a preview child, and the message loop.
#pragma once

#include <windows.h>

extern const char kSaverClassName[];
extern const char kFullScreenTitle[];
extern const char kPreviewTitle[];

// Registers the saver window class and creates the window: covering the
// screen with no parent, a preview child of the parent's client size
// otherwise (which puts the process into preview mode). The scene is built by
// the creation message. Null when the class or the window cannot be made.
HWND CreateSaverWindow(HWND parent);
// Unregisters the class again once its window is gone.
void UnregisterSaverClass();

// The whole window mode: with no parent, a full-screen saver that is not
// already running, guarded by the password; then the message loop until the
// window is gone. Returns the exit code.
int RunSaverWindow(HWND parent);
