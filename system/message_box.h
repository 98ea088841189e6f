// Every message box of the program goes through here, so that a test can
// see each one (text, caption, buttons, owner) without being blocked by it.
#pragma once

#include <windows.h>

// Where nobody is there to answer (the shell's unattended mode), no box is
// shown, none is seen by a watching test either, and the answer is IDOK at
// once: the program goes on as after the box.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Whether one of the program's own boxes is up. Such a box takes the
// activation from the saver window, which must not take that for the user
// switching away.
bool OwnMessageBoxShowing();

// Replaces the real box by a function that answers in its place; null puts
// the real box back.
using MessageBoxObserver = int (*)(HWND owner, const char* text, const char* caption, UINT type);
void SetMessageBoxObserver(MessageBoxObserver observer);
