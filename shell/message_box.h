// Every message box of the program goes through here, so that a test can
// see each one (text, caption, buttons, owner) without being blocked by it.
#pragma once

#include <windows.h>

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Replaces the real box by a function that answers in its place; null puts
// the real box back.
using MessageBoxObserver = int (*)(HWND owner, const char* text, const char* caption, UINT type);
void SetMessageBoxObserver(MessageBoxObserver observer);
