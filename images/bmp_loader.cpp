#include "images/bmp_image.h"

namespace {
constexpr SIZE_T kFreshInfoSize = 40 + 256 * 4;

void ReleaseObjects(BmpImage* image) {
  if (image->bitmap) {
    SelectObject(image->memDC, image->oldBitmap);
    DeleteDC(image->memDC);
    DeleteObject(image->bitmap);
    image->bitmap = nullptr;
    image->memDC = nullptr;
  }
  if (image->palette) {
    DeleteObject(image->palette);
    image->palette = nullptr;
  }
  if (image->indexTable) {
    HeapFree(GetProcessHeap(), 0, image->indexTable);
    image->indexTable = nullptr;
  }
}
}  // namespace

void GiveFreshInfoBlock(BmpImage* image) {
  if (image->info) HeapFree(GetProcessHeap(), 0, image->info);
  image->info = static_cast<BITMAPINFOHEADER*>(
      HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kFreshInfoSize));
}

void FreeBmpImage(BmpImage* image) {
  ReleaseObjects(image);
  if (image->info) HeapFree(GetProcessHeap(), 0, image->info);
  image->info = nullptr;
}

int LoadBmpImage(HWND window, const char* path, int previouslyLoaded, BmpImage* image) {
  if (previouslyLoaded) ReleaseObjects(image);
  return ReadBmpFile(window, path, image);
}

// Reading files arrives with the picture support.
int ReadBmpFile(HWND, const char*, BmpImage*) { return 0; }
