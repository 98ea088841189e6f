// Context help for the settings dialog's controls, from the help file
// beside the program.
#pragma once

#include <windows.h>

// Pairs of (control id, help context id), ending with (0, 0).
extern const DWORD kHelpTable[];
extern const size_t kHelpTableSize;   // in DWORDs, the closing pair included

// The help file's full path: the running program's folder and the file's
// name. Written into path (at least MAX_PATH characters).
void HelpFilePath(char* path);

// The help context id of a control, or 0 when the table has none.
DWORD HelpContextOf(int controlId);

// F1 or "What's this?" on control. Where the system shows no pop-up for
// the table (it answers FALSE), the control's topic opens in the help
// window instead.
void ShowControlHelp(HWND owner, HWND control);
// A right click on window (a control, or the dialog itself) at the screen
// point, handled in the same way.
void ShowContextMenuHelp(HWND owner, HWND window, POINT screenPoint);
