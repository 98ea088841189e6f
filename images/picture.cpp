#include "images/picture.h"

#include "system/message_box.h"

namespace {

DeviceBitmapMaker makeDeviceBitmap = CreateCompatibleBitmap;
IndexTableMaker makeIndexTable = MakeIndexTable;
constexpr int kRowsPerBand = 256;

uint16_t ColourCountOf(const BITMAPINFOHEADER* info) {
  return ColourCount(info->biClrUsed, info->biBitCount);
}

// What a device bitmap compatible with dc would hold, as a DIB section: one
// bit per pixel for a fresh memory DC, true colour for a window's DC. Old
// systems refuse large device bitmaps; a DIB section lives in the process's
// own memory.
HBITMAP MakeDibLike(HDC dc, int w, int h) {
  BITMAP current{};
  const bool memory = GetObjectType(dc) == OBJ_MEMDC;
  if (memory) GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof current, &current);
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } info{};
  info.header.biSize = sizeof info.header;
  info.header.biWidth = w;
  info.header.biHeight = h;
  info.header.biPlanes = 1;
  info.header.biBitCount = memory && current.bmBitsPixel == 1 ? 1 : 32;
  info.colours[1] = RGBQUAD{255, 255, 255, 0};
  void* bits = nullptr;
  return CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                          nullptr, 0);
}

}  // namespace

void SetIndexTableMaker(IndexTableMaker maker) { makeIndexTable = maker ? maker : MakeIndexTable; }

void SetDeviceBitmapMaker(DeviceBitmapMaker maker) {
  makeDeviceBitmap = maker ? maker : CreateCompatibleBitmap;
}

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
  // One index per colour the table holds (the loader stores that count in
  // biClrUsed; a header left at 0 still gets room for every index written).
  const uint16_t colours = ColourCountOf(info);
  auto* block = static_cast<BYTE*>(
      HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, info->biSize + 2 * static_cast<SIZE_T>(colours)));
  if (!block) return nullptr;
  CopyMemory(block, info, sizeof(BITMAPINFOHEADER));
  auto* indices = reinterpret_cast<WORD*>(block + info->biSize);
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
  if (!image->indexTable) image->indexTable = makeIndexTable(image->info);
  if (!image->indexTable) {
    // Once for the picture, however often it is painted or laid as a mask.
    if (!image->indexTableFailureTold) {
      image->indexTableFailureTold = true;
      ShowMessageBox(owner, "Can not create Indexed color table", nullptr, MB_ICONHAND);
    }
    return false;
  }
  if (!image->bitmap) {
    const int w = PictureWidth(image->info);
    const int h = PictureHeight(image->info);
    HBITMAP bitmap = makeDeviceBitmap(dc, w, h);
    if (!bitmap) bitmap = MakeDibLike(dc, w, h);
    if (!bitmap) return false;  // out of memory: nothing is drawn, nothing kept
    // A band of rows at a time: a large picture is then never converted in
    // one piece through a second full-size buffer.
    const BYTE* bits = reinterpret_cast<const BYTE*>(image->info) + image->bitsOffset;
    const size_t stride = (static_cast<size_t>(image->info->biBitCount) * w + 31) / 32 * 4;
    for (int row = 0; row < h; row += kRowsPerBand) {
      const int rows = h - row < kRowsPerBand ? h - row : kRowsPerBand;
      SetDIBits(dc, bitmap, row, rows, bits + stride * row,
                static_cast<const BITMAPINFO*>(image->indexTable), DIB_PAL_COLORS);
    }
    image->bitmap = bitmap;
    image->memDC = CreateCompatibleDC(dc);
    image->oldBitmap = static_cast<HBITMAP>(SelectObject(image->memDC, image->bitmap));
  }
  return true;
}

void DrawPicture(HWND owner, HDC dc, BmpImage* image, int screenWidth, int screenHeight,
                 int layout) {
  HPALETTE previous = SelectPicturePalette(dc, image);
  if (MakePictureBitmap(owner, dc, image)) {
    const int w = PictureWidth(image->info);
    const int h = PictureHeight(image->info);
    switch (layout) {
      case 0:
        StretchBlt(dc, 0, 0, screenWidth, screenHeight, image->memDC, 0, 0, w, h, SRCCOPY);
        break;
      case 1:
        BitBlt(dc, (screenWidth - w) / 2, (screenHeight - h) / 2, w, h, image->memDC, 0, 0,
               SRCCOPY);
        break;
      case 2: {
        // Only the tiles that meet what is to be painted, from the picture
        // repeated into a larger tile.
        RECT area{0, 0, screenWidth, screenHeight}, clip;
        if (GetClipBox(dc, &clip) != ERROR) IntersectRect(&area, &area, &clip);
        if (!image->tile.dc) image->tile = RepeatTile(image->memDC, w, h);
        const RepeatedTile& t = image->tile;
        HDC source = t.dc ? t.dc : image->memDC;
        const int tw = t.dc ? t.width : w, th = t.dc ? t.height : h;
        ForEachTile(tw, th, area, [&](int x, int y) { BitBlt(dc, x, y, tw, th, source, 0, 0, SRCCOPY); });
        break;
      }
      default:
        break;
    }
  }
  RestorePalette(dc, image, previous);
}

