// A BMP file read into memory, and the GDI objects made from it on demand.
#pragma once

#include <windows.h>
#include <cstdint>

struct BmpImage {
  HPALETTE palette;   // from the colour table; null until made
  void* indexTable;   // info header + one 16-bit palette index per colour
  HBITMAP oldBitmap;  // what memDC held before bitmap
  HDC memDC;          // holds bitmap
  HBITMAP bitmap;     // device bitmap with the picture; null until made
  int32_t bitsOffset; // pixel array's offset from the start of info
  BITMAPINFOHEADER* info;  // header, colour table, pixels: one heap block
};

// Gives the record a fresh zero-filled 1064-byte info block, freeing the
// one it held.
void GiveFreshInfoBlock(BmpImage* image);

// Releases everything the record holds (objects and info block).
void FreeBmpImage(BmpImage* image);

int LoadBmpImage(HWND window, const char* path, int previouslyLoaded, BmpImage* image);
int ReadBmpFile(HWND window, const char* path, BmpImage* image);
