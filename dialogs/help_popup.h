// The settings dialog's own help pop-up, for systems that have no viewer
// for the help file: a topic's plain text in the system's message font on
// the tooltip colours, closed by any key (a system key such as Alt when it
// goes up), any click, or the dialog losing the focus. Its window text is the
// topic's text; a topic too long for the work area is drawn smaller or cut.
#pragma once

#include <windows.h>

// The pop-up's window class.
extern const char kHelpPopupClass[];

// Shows the text in a pop-up owned by owner, with its top left corner at
// the anchor's bottom left (screen coordinates); above the anchor where the
// screen ends below it, and always inside the screen's work area. The
// pop-up takes the focus. Returns it, or null where it could not be made.
HWND ShowHelpPopup(HWND owner, const char* text, const RECT& anchor);
