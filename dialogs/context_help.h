// Context help for the settings dialog's controls: from the help file
// beside the program, or, where the system has no viewer for it, from the
// same topics built into the program.
#pragma once

#include <windows.h>

#include <string>

// Pairs of (control id, help context id), ending with (0, 0).
extern const DWORD kHelpTable[];
extern const size_t kHelpTableSize;   // in DWORDs, the closing pair included

// The help file's full path: the running program's folder and the file's
// name. Written into path (at least MAX_PATH characters).
void HelpFilePath(char* path);

// The help context id of a control, or 0 when the table has none.
DWORD HelpContextOf(int controlId);

// The text of the topic that a help context id opens: its title, then its
// paragraphs, an empty line between each. The contents topic's where the
// id has no topic.
std::string HelpTopicText(DWORD context);

// F1 or "What's this?" on control, the mouse at the screen point. From
// Windows Vista on, the control's topic shows in the dialog's own pop-up
// (below the control for F1, at the point for a click). Before, the help
// viewer shows it; where the viewer shows no pop-up for the table (it
// answers FALSE), the topic opens in the help window instead.
void ShowControlHelp(HWND owner, HWND control, POINT mouse);
// A right click on window (a control, or the dialog itself) at the screen
// point, handled in the same way; the point (-1, -1) is a request from the
// keyboard.
void ShowContextMenuHelp(HWND owner, HWND window, POINT screenPoint);
// F1 or "What's this?" on control in another window of the program (the
// About box): the topic of the help context id in front of that window, in
// the dialog's own pop-up from Windows Vista on, else in the viewer's.
void ShowWindowHelp(HWND window, DWORD context, HWND control, POINT mouse);
