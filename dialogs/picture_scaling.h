// The dialog's pictures at the resolution it is drawn at, and again at a
// new one when it moves to a monitor of another: each bitmap at the
// resolution's whole multiple of 96 pixels per inch, every pixel a crisp
// block, and each icon, the dialog's own included, at the system's icon size
// for the resolution, loaded from its resource.
#pragma once

#include <windows.h>

// The pictures of the dialog made from the template, at the resolution: the
// first time (first true) in place of the pictures the controls loaded
// themselves.
void ShowPicturesAt(HWND dialog, int templateId, int dpi, bool first);
// Takes the pictures and icons off the dialog and deletes them.
void DeletePictures(HWND dialog);

// WM_DPICHANGED: the dialog takes the rectangle the system suggests, and
// posts itself kShowPicturesMessage with the new resolution as wParam, so
// that its pictures follow once the system has laid the dialog out anew.
// Returns FALSE: the system's own handling (the dialog's and controls'
// fonts and places, from Windows 10 version 1703 on) goes on.
BOOL FollowNewResolution(HWND dialog, WPARAM wParam, LPARAM lParam);
constexpr UINT kShowPicturesMessage = WM_APP + 1;
