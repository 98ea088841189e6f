// The background picture: its palette, device bitmap and three layouts.
#pragma once

#include <windows.h>

#include "images/bmp_loader.h"

// The drawing: into dc, over a screen of the given size, in the given
// layout (0 stretched, 1 centred, 2 tiled, anything else nothing); owner
// owns the message box of a failure.
void DrawPicture(HWND owner, HDC dc, BmpImage* image, int screenWidth, int screenHeight,
                 int layout);


HPALETTE MakePalette(const BITMAPINFOHEADER* info);
void* MakeIndexTable(const BITMAPINFOHEADER* info);

// The GDI side of a loaded picture, made on first use and kept in the
// record: the picture's palette is selected into dc and realised (the
// palette it replaced is returned, to be put back with RestorePalette);
// then the index table and the device bitmap, compatible with dc, in its
// memory DC. False when the index table cannot be made, after the message
// box owned by owner the first time for the picture.
HPALETTE SelectPicturePalette(HDC dc, BmpImage* image);
bool MakePictureBitmap(HWND owner, HDC dc, BmpImage* image);
void RestorePalette(HDC dc, const BmpImage* image, HPALETTE previous);

// Makes a picture's index table (MakeIndexTable); a test puts one in place
// that fails, as the heap does when it runs out. Null puts the real one back.
using IndexTableMaker = void* (*)(const BITMAPINFOHEADER* info);
void SetIndexTableMaker(IndexTableMaker maker);

// Makes a picture's device bitmap (CreateCompatibleBitmap); a test puts one
// in place that fails, as old systems do for large pictures. Null puts the
// real one back. When it fails, the picture is kept in a DIB section.
using DeviceBitmapMaker = HBITMAP(WINAPI*)(HDC dc, int width, int height);
void SetDeviceBitmapMaker(DeviceBitmapMaker maker);

// Width and height of a loaded picture: the low 16 bits of the header's
// values, unsigned.
int PictureWidth(const BITMAPINFOHEADER* info);
int PictureHeight(const BITMAPINFOHEADER* info);
