// The size of a bitmap as a rectangle.
#pragma once

#include <windows.h>

// (0, 0, width, height) of the bitmap; a null bitmap leaves r as it is.
void BitmapRect(RECT* r, HBITMAP bitmap);
