// The dialog's bitmap pictures on screens of two or more times the usual
// 96 pixels per inch: the dialog grows with its font, so each picture is
// shown at a whole multiple of its size, every pixel a crisp block.
#pragma once

#include <windows.h>

// Replaces each bitmap picture of the dialog by a copy scaled by the
// screen's whole multiple of 96 pixels per inch; nothing changes below 192.
void ScaleBitmapPictures(HWND dialog);
// Takes the bitmaps off the dialog's pictures and deletes them: the scaled
// copies, or the bitmaps that the controls loaded themselves (some systems'
// controls never free those).
void DeleteBitmapPictures(HWND dialog);
