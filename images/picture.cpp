#include "images/picture.h"

void PaintPicture(HWND, BmpImage*) {}
HPALETTE MakePalette(const BITMAPINFOHEADER*) { return nullptr; }
void* MakeIndexTable(const BITMAPINFOHEADER*) { return nullptr; }
