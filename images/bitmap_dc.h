// A bitmap kept selected in a memory DC of its own for as long as both live,
// and freed with it. Selecting a bitmap into a DC costs far more than a blit
// (about 0.2 ms for a device bitmap under Wine), so whatever is drawn into
// or from often keeps its bitmap selected from when it is made until it
// goes.
#pragma once

#include <windows.h>

#include <cstdint>

struct BitmapDC {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ start = nullptr;    // what dc held before bitmap
  uint32_t* bits = nullptr;   // a DIB section's pixels, to work on directly
};

// The bitmap, taken over, selected into a new memory DC compatible with like
// (null: with the screen). Empty for a null bitmap.
BitmapDC SelectIntoNewDC(HBITMAP bitmap, HDC like = nullptr);

// A 32-bit top-down DIB section of width x height in a DC of its own, its
// pixels at bits; empty where it cannot be made. make stands in for
// CreateDIBSection where a test makes it fail.
using DibSectionMaker = HBITMAP(WINAPI*)(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                         HANDLE section, DWORD offset);
BitmapDC MakeDibDC(int width, int height, DibSectionMaker make = CreateDIBSection);

// Puts back what the DC held and deletes DC and bitmap; d is left empty.
void FreeBitmapDC(BitmapDC* d);

// Gives a memory DC the mapping mode of the DC it is blitted to or from, so
// that a blit between them copies pixel for pixel.
void TakeMapMode(HDC memory, HDC target);
