// The background picture: its palette, device bitmap and three layouts.
#pragma once

#include <windows.h>

#include "images/bmp_image.h"

void PaintPicture(HWND window, BmpImage* image);
HPALETTE MakePalette(const BITMAPINFOHEADER* info);
void* MakeIndexTable(const BITMAPINFOHEADER* info);
