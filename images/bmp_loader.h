// A BMP file read into memory, and the GDI objects made from it on demand.
#pragma once

#include <windows.h>
#include <cstdint>

#include "images/tiling.h"

struct BmpImage {
  HPALETTE palette;   // from the colour table; null until made
  void* indexTable;   // info header + one 16-bit palette index per colour
  HBITMAP oldBitmap;  // what memDC held before bitmap
  HDC memDC;          // holds bitmap
  HBITMAP bitmap;     // device bitmap with the picture; null until made
  int32_t bitsOffset; // pixel array's offset from the start of info
  BITMAPINFOHEADER* info;  // header, colour table, pixels: one heap block
  RepeatedTile tile;  // the picture repeated for tiling; made on first use
  bool indexTableFailureTold;  // its index table could not be made, and the user was told
};

// The colour-table entries of a picture: the low 16 bits of biClrUsed, or,
// where that is 0, 2 to the power of the bit count kept to 16 bits (none for
// 24 bits, and 65536 does not fit for 16).
uint16_t ColourCount(uint32_t clrUsed, uint16_t bitCount);

// Gives the record a fresh zero-filled 1064-byte info block, freeing the
// one it held.
void GiveFreshInfoBlock(BmpImage* image);

// Releases everything the record holds (objects and info block).
void FreeBmpImage(BmpImage* image);

// Reads path into the record; 1 on success, 0 on failure. With
// previouslyLoaded set, the objects made from the earlier picture are
// released first.
//
// A file with a plain 40-byte header, 1, 4, 8 or 24 bits, no compression,
// bottom-up rows and its pixels right after the colour table is copied as it
// stands. Every other readable file (longer headers, pixels elsewhere, top-
// down rows, 2, 16 and 32 bits, bit fields, RLE) is converted while loading
// into that same plain layout: 8 bits with a 256-entry table for colour-
// table pictures, 24 bits for the others. Alpha is dropped. A file whose
// sizes, dimensions or data cannot be trusted is refused, and nothing past
// the end of the file is ever read. Neither is a picture of more than 24 Mi
// pixels (25,165,824), nor an RLE picture with more rows than its data can reach.
int LoadBmpImage(HWND window, const char* path, int previouslyLoaded, BmpImage* image);
int ReadBmpFile(HWND window, const char* path, BmpImage* image);

// What callers tell of a file that was opened but holds no picture that can
// be read: a picture (or a file of the settings dialog), and a mask.
extern const char kUnreadablePictureText[];
extern const char kUnreadableMaskText[];

// Whether path names a picture that can be read; nothing of it is kept.
// A failure is kept for ReportBmpFailure as that of a read.
bool CanReadBmpFile(const char* path);

// The one message box for the last read that failed, owned by owner: why
// its file could not be opened (not found, access denied, not a file),
// under the program's name; or, for a file that was opened and holds no
// picture that can be read, formatText under "BMP format error". Either
// names the file: what it is to be (role, "Picture" or "Mask") and path.
void ReportBmpFailure(HWND owner, const char* role, const char* path, const char* formatText);

// The reading of a whole file's bytes, as ReadBmpFile does on the mapped
// view; it reads nothing outside data[0, size).
int ReadBmpBytes(const void* data, uint32_t size, BmpImage* image);

// The loader closes its file and mapping handles through this function, so
// that a test can make a close fail. Null puts CloseHandle back.
using HandleCloser = BOOL(WINAPI*)(HANDLE);
void SetBmpHandleCloser(HandleCloser closer);
