#include "images/picture.h"

#include "scene/scene_state.h"
#include "settings/settings.h"
#include "shell/message_box.h"

namespace {

uint16_t ColourCountOf(const BITMAPINFOHEADER* info) {
  return ColourCount(info->biClrUsed, info->biBitCount);
}

}  // namespace

int PictureWidth(const BITMAPINFOHEADER* info) {
  return static_cast<uint16_t>(info->biWidth);
}

int PictureHeight(const BITMAPINFOHEADER* info) {
  return static_cast<uint16_t>(info->biHeight);
}

HPALETTE MakePalette(const BITMAPINFOHEADER* info) {
  const uint16_t colours = ColourCountOf(info);
  auto* logical = static_cast<LOGPALETTE*>(
      HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 8 + 4 * static_cast<SIZE_T>(colours)));
  if (!logical) return nullptr;
  logical->palVersion = 0x300;
  logical->palNumEntries = colours;
  const BYTE* table = reinterpret_cast<const BYTE*>(info) + info->biSize;
  for (uint16_t i = 0; i < colours; ++i) {
    logical->palPalEntry[i].peRed = table[4 * i + 2];
    logical->palPalEntry[i].peGreen = table[4 * i + 1];
    logical->palPalEntry[i].peBlue = table[4 * i + 0];
    logical->palPalEntry[i].peFlags = 0;
  }
  HPALETTE palette = CreatePalette(logical);
  HeapFree(GetProcessHeap(), 0, logical);
  return palette;
}

void* MakeIndexTable(const BITMAPINFOHEADER* info) {
  auto* block = static_cast<BYTE*>(HeapAlloc(
      GetProcessHeap(), HEAP_ZERO_MEMORY, info->biSize + 2 * static_cast<SIZE_T>(info->biClrUsed)));
  if (!block) return nullptr;
  CopyMemory(block, info, sizeof(BITMAPINFOHEADER));
  auto* indices = reinterpret_cast<WORD*>(block + info->biSize);
  const uint16_t colours = ColourCountOf(info);
  for (uint16_t i = 0; i < colours; ++i) indices[i] = i;
  return block;
}

HPALETTE SelectPicturePalette(HDC dc, BmpImage* image) {
  if (!image->palette) image->palette = MakePalette(image->info);
  if (!image->palette) return nullptr;
  HPALETTE previous = SelectPalette(dc, image->palette, FALSE);
  RealizePalette(dc);
  return previous;
}

void RestorePalette(HDC dc, const BmpImage* image, HPALETTE previous) {
  if (image->palette) SelectPalette(dc, previous, FALSE);
}

bool MakePictureBitmap(HWND owner, HDC dc, BmpImage* image) {
  if (!image->indexTable) image->indexTable = MakeIndexTable(image->info);
  if (!image->indexTable) {
    ShowMessageBox(owner, "Can not create Indexed color table", nullptr, MB_ICONHAND);
    return false;
  }
  if (!image->bitmap) {
    const int w = PictureWidth(image->info);
    const int h = PictureHeight(image->info);
    image->memDC = CreateCompatibleDC(dc);
    image->bitmap = CreateCompatibleBitmap(dc, w, h);
    const BYTE* bits = reinterpret_cast<const BYTE*>(image->info) + image->bitsOffset;
    SetDIBits(dc, image->bitmap, 0, h, bits, static_cast<const BITMAPINFO*>(image->indexTable),
              DIB_PAL_COLORS);
    image->oldBitmap = static_cast<HBITMAP>(SelectObject(image->memDC, image->bitmap));
  }
  return true;
}

void DrawPicture(HWND owner, HDC dc, BmpImage* image, int screenWidth, int screenHeight) {
  HPALETTE previous = SelectPicturePalette(dc, image);
  if (MakePictureBitmap(owner, dc, image)) {
    const int w = PictureWidth(image->info);
    const int h = PictureHeight(image->info);
    switch (Settings().PictureLayout) {
      case 0:
        StretchBlt(dc, 0, 0, screenWidth, screenHeight, image->memDC, 0, 0, w, h, SRCCOPY);
        break;
      case 1:
        BitBlt(dc, (screenWidth - w) / 2, (screenHeight - h) / 2, w, h, image->memDC, 0, 0,
               SRCCOPY);
        break;
      case 2:
        // A picture without size would never step across the screen.
        if (w <= 0 || h <= 0) break;
        for (int x = 0; x < screenWidth; x += w) {
          for (int y = 0; y < screenHeight; y += h) {
            BitBlt(dc, x, y, w, h, image->memDC, 0, 0, SRCCOPY);
          }
        }
        break;
      default:
        break;
    }
  }
  RestorePalette(dc, image, previous);
}

void PaintPicture(HWND window, BmpImage* image) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  DrawPicture(window, dc, image, Scene().screenWidth, Scene().screenHeight);
  EndPaint(window, &ps);
}
