// The settings dialog (template 2003): every setting with its picture,
// shown at once in the live preview behind the dialog, and the buttons that save, restore and reset the
// stored settings, choose files and open help and the web page.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Every message that SettingsDialogProc does not finish itself; TRUE for a
// help request, which it has answered.
BOOL SettingsCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
