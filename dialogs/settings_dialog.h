// The settings dialog (template 2003): every setting with its picture,
// taking effect at once, and the buttons that save, restore and reset the
// stored settings, choose files and open help and the web page.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Every message that SettingsDialogProc does not finish itself; TRUE for a
// help request, which it has answered.
BOOL SettingsCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Inverts the region on the whole screen.
void FlashRegion(HRGN region);
