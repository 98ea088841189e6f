// The background picture: its palette, device bitmap and three layouts.
#pragma once

#include <windows.h>

#include "images/bmp_image.h"

// Paints the picture into the window's paint bracket over the whole screen,
// laid out as PictureLayout says.
void PaintPicture(HWND window, BmpImage* image);

// The drawing inside the bracket: into dc, over a screen of the given size;
// owner owns the message box of a failure.
void DrawPicture(HWND owner, HDC dc, BmpImage* image, int screenWidth, int screenHeight);

HPALETTE MakePalette(const BITMAPINFOHEADER* info);
void* MakeIndexTable(const BITMAPINFOHEADER* info);

// Width and height of a loaded picture: the low 16 bits of the header's
// values, unsigned.
int PictureWidth(const BITMAPINFOHEADER* info);
int PictureHeight(const BITMAPINFOHEADER* info);
