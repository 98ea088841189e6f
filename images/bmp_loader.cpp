#include "images/bmp_loader.h"

#include <cstring>
#include <string>

#include "system/message_box.h"

const char kUnreadablePictureText[] = "Sorry, could not read the file (format error?)";
const char kUnreadableMaskText[] = "Sorry, could not read the mask file (format error?)";

namespace {
constexpr SIZE_T kFreshInfoSize = 40 + 256 * 4;
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kPlainHeaderSize = 40;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kMaxSide = 65535;           // what the 16-bit sizes can hold
// The most pixels a picture may have: 24 Mi (25,165,824), a photograph of
// 6000 x 4000 with a little room to spare. Every picture the loader takes is
// then read, turned into a mask or painted within a second and 256 MB.
constexpr uint64_t kMaxPixels = 24u << 20;

HandleCloser closeHandle = CloseHandle;

constexpr char kProgramName[] = "Nivalo";
constexpr char kNotAFile[] = "Not a file: the path names a folder or a device";
// Why the last read could not open its file; null when it opened it.
const char* openFailure = nullptr;

// What the user is told when a file cannot be opened, from the system's
// reason (a folder is refused as access denied).
const char* OpenFailureText(const char* path, DWORD error) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return kNotAFile;
  switch (error) {
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: case ERROR_INVALID_NAME: case ERROR_BAD_PATHNAME:
      return "File not found";
    case ERROR_ACCESS_DENIED: case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION:
      return "Access denied: the file is in use by another program, or you may not read it";
    default:
      return "Could not open the file";
  }
}

void ReleaseObjects(BmpImage* image) {
  FreeRepeatedTile(&image->tile);
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

void CloseMapping(HANDLE mapping) {
  if (!closeHandle(mapping)) ShowMessageBox(nullptr, "Error closing the map file", "Include", MB_OK);
}

void CloseFile(HANDLE file) {
  if (!closeHandle(file)) ShowMessageBox(nullptr, "Error closing the file", "Include", MB_OK);
}

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Bytes of one row of bitCount-bit pixels, padded to whole 32-bit words.
uint64_t RowBytes(uint32_t bitCount, uint32_t width) {
  return ((static_cast<uint64_t>(bitCount) * width + 31) & ~static_cast<uint64_t>(31)) / 8;
}

// The mapped file: every read goes through Has() first.
struct View {
  const uint8_t* data;
  uint32_t size;
  bool Has(uint64_t offset, uint64_t length) const {
    return offset <= size && length <= size - offset;
  }
};

// The info header as the file states it; fields past a short header are 0.
struct Header {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t masks[4];  // red, green, blue, alpha; from a header that holds them
  uint32_t offBits;   // from the file header
};

bool IsWindowsHeaderSize(uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// OS/2 2.x headers end after any of their 32-bit fields.
bool IsOs2HeaderSize(uint32_t size) { return size >= 16 && size <= 64 && size % 4 == 0; }

// One colour channel of a bit-field pixel.
struct Channel {
  uint32_t mask;
  int shift;
  uint32_t max;  // the channel's largest value; 0 for an empty mask
  int bits;
};

bool MakeChannel(uint32_t mask, uint32_t bitCount, Channel* c) {
  *c = Channel{mask, 0, 0, 0};
  if (mask == 0) return true;
  if (bitCount < 32 && (mask >> bitCount) != 0) return false;
  while (!((mask >> c->shift) & 1)) ++c->shift;
  uint32_t v = mask >> c->shift;
  while (v & 1) {
    v >>= 1;
    ++c->bits;
  }
  if (v != 0) return false;  // the mask's bits must lie together
  c->max = mask >> c->shift;
  return true;
}

uint8_t ChannelValue(const Channel& c, uint32_t pixel) {
  if (!c.max) return 0;
  uint32_t v = (pixel & c.mask) >> c.shift;
  if (c.bits > 8) return static_cast<uint8_t>(v >> (c.bits - 8));
  return static_cast<uint8_t>((v * 255 + c.max / 2) / c.max);
}

// Grows the record's block to bytes; false when the heap refuses.
bool GrowInfo(BmpImage* image, uint64_t bytes, DWORD flags) {
  if (bytes > 0x7FFFFFFF) return false;
  void* block = image->info
                    ? HeapReAlloc(GetProcessHeap(), flags, image->info, static_cast<SIZE_T>(bytes))
                    : HeapAlloc(GetProcessHeap(), flags, static_cast<SIZE_T>(bytes));
  if (!block) return false;
  image->info = static_cast<BITMAPINFOHEADER*>(block);
  return true;
}

// A plain file: 40-byte header, 1/4/8/24 bits, no compression, bottom-up,
// pixels right after the colour table. Copied as it stands, with the colour
// count and image size filled in where the file has 0.
int ReadPlain(const View& file, const Header& h, BmpImage* image) {
  const uint16_t colours = ColourCount(h.clrUsed, h.bitCount);
  const uint64_t needed = RowBytes(h.bitCount, h.width) * static_cast<uint32_t>(h.height);
  const uint64_t sizeImage = h.sizeImage ? h.sizeImage : needed;
  const uint64_t tableAt = kFileHeaderSize + kPlainHeaderSize;
  const uint64_t bitsAt = tableAt + 4u * colours;
  // The stated size and the rows themselves must both lie inside the file.
  if (!file.Has(bitsAt, sizeImage) || !file.Has(bitsAt, needed)) return 0;
  const uint64_t copied = sizeImage > needed ? sizeImage : needed;

  if (!GrowInfo(image, kPlainHeaderSize + 4u * colours + copied, 0)) return 0;
  memcpy(image->info, file.data + kFileHeaderSize, kPlainHeaderSize);
  if (image->info->biClrUsed == 0) image->info->biClrUsed = colours;
  if (image->info->biSizeImage == 0) image->info->biSizeImage = static_cast<DWORD>(needed);
  uint8_t* block = reinterpret_cast<uint8_t*>(image->info);
  memcpy(block + kPlainHeaderSize, file.data + tableAt, 4u * colours);
  image->bitsOffset = static_cast<int32_t>(kPlainHeaderSize + 4u * colours);
  memcpy(block + image->bitsOffset, file.data + bitsAt, static_cast<size_t>(copied));
  return 1;
}

// Writes the plain header of a converted picture and returns its pixels.
uint8_t* StartConverted(BmpImage* image, const Header& h, uint32_t height, uint16_t bitCount,
                        uint32_t colours, uint64_t sizeImage) {
  BITMAPINFOHEADER* info = image->info;
  memset(info, 0, kPlainHeaderSize);
  info->biSize = kPlainHeaderSize;
  info->biWidth = h.width;
  info->biHeight = static_cast<LONG>(height);
  info->biPlanes = 1;
  info->biBitCount = bitCount;
  info->biCompression = BI_RGB;
  info->biSizeImage = static_cast<DWORD>(sizeImage);
  info->biXPelsPerMeter = h.xPelsPerMeter;
  info->biYPelsPerMeter = h.yPelsPerMeter;
  info->biClrUsed = colours;
  image->bitsOffset = static_cast<int32_t>(kPlainHeaderSize + 4 * colours);
  return reinterpret_cast<uint8_t*>(info) + image->bitsOffset;
}

// Unpacks RLE8 or RLE4 data into bottom-up 8-bit rows. Pixels the data
// skips keep index 0. Runs or moves that leave the picture refuse it; data
// that ends before its end mark leaves the rest at index 0.
bool DecodeRle(const uint8_t* src, uint64_t length, bool four, uint32_t width, uint32_t height,
               uint8_t* out, uint64_t stride) {
  uint64_t i = 0;
  uint32_t x = 0, y = 0;
  while (i + 2 <= length) {
    const uint32_t count = src[i];
    const uint8_t value = src[i + 1];
    i += 2;
    if (count > 0) {
      if (y >= height || x + count > width) return false;
      uint8_t* row = out + y * stride;
      for (uint32_t k = 0; k < count; ++k) {
        row[x + k] = four ? static_cast<uint8_t>(k & 1 ? value & 0x0F : value >> 4) : value;
      }
      x += count;
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      return true;
    } else if (value == 2) {  // move right and up
      if (i + 2 > length) return true;
      x += src[i];
      y += src[i + 1];
      i += 2;
      if (x > width || y > height || (y == height && x > 0)) return false;
    } else {  // a literal run of value pixels, padded to 16 bits
      const uint32_t n = value;
      const uint64_t bytes = four ? (n + 1) / 2 : n;
      if (y >= height || x + n > width) return false;
      if (i + bytes > length) return false;
      uint8_t* row = out + y * stride;
      for (uint32_t k = 0; k < n; ++k) {
        const uint8_t b = src[i + (four ? k / 2 : k)];
        row[x + k] = four ? static_cast<uint8_t>(k & 1 ? b & 0x0F : b >> 4) : b;
      }
      x += n;
      i += (bytes + 1) & ~static_cast<uint64_t>(1);
    }
  }
  return true;
}

// Every readable file that is not plain: converted into the plain layout.
int ReadConverted(const View& file, const Header& h, BmpImage* image) {
  const bool os2 = !IsWindowsHeaderSize(h.size);
  const bool topDown = h.height < 0;
  const uint32_t width = static_cast<uint32_t>(h.width);
  const uint32_t height = topDown ? 0u - static_cast<uint32_t>(h.height)
                                  : static_cast<uint32_t>(h.height);
  const uint16_t bc = h.bitCount;
  const bool palettedBits = bc == 1 || bc == 2 || bc == 4 || bc == 8;
  if (!palettedBits && bc != 16 && bc != 24 && bc != 32) return 0;

  bool rle = false;
  uint64_t tableAt = kFileHeaderSize + h.size;
  uint32_t masks[3] = {0, 0, 0};
  switch (h.compression) {
    case BI_RGB:
      if (bc == 16) {
        masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
      } else if (bc == 32) {
        masks[0] = 0xFF0000; masks[1] = 0x00FF00; masks[2] = 0x0000FF;
      }
      break;
    case BI_RLE8:
    case BI_RLE4:
      if (bc != (h.compression == BI_RLE8 ? 8 : 4) || topDown) return 0;
      rle = true;
      break;
    case BI_BITFIELDS:
    case 6:  // bit fields with alpha
      if (os2 || (bc != 16 && bc != 32)) return 0;  // 3 means Huffman in OS/2 headers
      if (h.size == kPlainHeaderSize) {
        const uint32_t maskBytes = h.compression == BI_BITFIELDS ? 12 : 16;
        if (!file.Has(tableAt, maskBytes)) return 0;
        for (int c = 0; c < 3; ++c) masks[c] = U32(file.data + tableAt + 4 * c);
        tableAt += maskBytes;
      } else {
        for (int c = 0; c < 3; ++c) masks[c] = h.masks[c];
      }
      break;
    default:
      return 0;  // JPEG, PNG, Huffman, RLE24 and unknown schemes
  }

  // Colour table: 4 bytes an entry, as many as stated or as the bit count
  // allows, and never running into the pixels.
  uint64_t colours = 0;
  if (palettedBits) {
    if (h.clrUsed > 256) return 0;
    colours = h.clrUsed ? h.clrUsed : (1u << bc);
  }
  uint64_t bitsAt;
  if (h.offBits != 0) {
    if (h.offBits < tableAt || h.offBits > file.size) return 0;
    bitsAt = h.offBits;
    if (tableAt + 4 * colours > bitsAt) colours = (bitsAt - tableAt) / 4;
  } else {
    bitsAt = tableAt + 4 * colours;
  }
  if (palettedBits && colours == 0) return 0;
  if (!file.Has(tableAt, 4 * colours) || !file.Has(bitsAt, 0)) return 0;
  uint64_t dataBytes = file.size - bitsAt;

  const uint64_t srcStride = RowBytes(bc, width);
  if (!rle && !file.Has(bitsAt, srcStride * height)) return 0;
  if (rle && h.sizeImage != 0 && h.sizeImage < dataBytes) dataBytes = h.sizeImage;
  // Every two bytes of RLE data move down at most 255 rows (a move code
  // takes four): rows beyond that reach are only a header's claim.
  if (rle && height > dataBytes / 2 * 255 + 1) return 0;

  Channel channels[3];
  if (!palettedBits && bc != 24) {
    for (int c = 0; c < 3; ++c) {
      if (!MakeChannel(masks[c], bc, &channels[c])) return 0;
    }
  }

  const uint16_t outBits = palettedBits ? 8 : 24;
  const uint32_t outColours = palettedBits ? 256 : 0;
  const uint64_t outStride = RowBytes(outBits, width);
  const uint64_t sizeImage = outStride * height;
  if (!GrowInfo(image, kPlainHeaderSize + 4 * outColours + sizeImage, HEAP_ZERO_MEMORY)) return 0;
  uint8_t* out = StartConverted(image, h, height, outBits, outColours, sizeImage);
  uint8_t* table = reinterpret_cast<uint8_t*>(image->info) + kPlainHeaderSize;
  const uint64_t kept = colours < 256 ? colours : 256;
  memcpy(table, file.data + tableAt, static_cast<size_t>(4 * kept));
  for (uint64_t k = 0; k < kept; ++k) table[4 * k + 3] = 0;

  const uint8_t* src = file.data + bitsAt;
  if (rle) {
    return DecodeRle(src, dataBytes, h.compression == BI_RLE4, width, height, out, outStride)
               ? 1 : 0;
  }
  for (uint32_t r = 0; r < height; ++r) {
    const uint8_t* in = src + r * srcStride;
    uint8_t* row = out + (topDown ? height - 1 - r : r) * outStride;
    if (palettedBits) {
      const uint32_t perByte = 8 / bc;
      const uint8_t pixelMask = static_cast<uint8_t>((1u << bc) - 1);
      for (uint32_t x = 0; x < width; ++x) {
        const int shift = 8 - bc - static_cast<int>(x % perByte) * bc;
        row[x] = static_cast<uint8_t>((in[x / perByte] >> shift) & pixelMask);
      }
    } else if (bc == 24) {
      memcpy(row, in, static_cast<size_t>(3u * width));
    } else {
      for (uint32_t x = 0; x < width; ++x) {
        const uint32_t pixel = bc == 16 ? U16(in + 2 * x) : U32(in + 4 * x);
        row[3 * x + 0] = ChannelValue(channels[2], pixel);
        row[3 * x + 1] = ChannelValue(channels[1], pixel);
        row[3 * x + 2] = ChannelValue(channels[0], pixel);
      }
    }
  }
  return 1;
}

int ReadMapped(const View& file, BmpImage* image) {
  if (!file.Has(0, kFileHeaderSize)) return 0;
  if (U16(file.data) != 0x4D42) return 0;
  if (!file.Has(kFileHeaderSize, 4)) return 0;
  Header h{};
  h.size = U32(file.data + kFileHeaderSize);
  h.offBits = U32(file.data + 10);
  if (h.size == kCoreHeaderSize) return 0;
  if (!IsWindowsHeaderSize(h.size) && !IsOs2HeaderSize(h.size)) return 0;
  if (!file.Has(kFileHeaderSize, h.size)) return 0;

  uint8_t raw[124] = {};
  memcpy(raw, file.data + kFileHeaderSize, h.size);
  h.width = static_cast<int32_t>(U32(raw + 4));
  h.height = static_cast<int32_t>(U32(raw + 8));
  h.planes = U16(raw + 12);
  h.bitCount = U16(raw + 14);
  h.compression = U32(raw + 16);
  h.sizeImage = U32(raw + 20);
  h.xPelsPerMeter = static_cast<int32_t>(U32(raw + 24));
  h.yPelsPerMeter = static_cast<int32_t>(U32(raw + 28));
  h.clrUsed = U32(raw + 32);
  if (IsWindowsHeaderSize(h.size)) {
    for (int c = 0; c < 4; ++c) h.masks[c] = U32(raw + 40 + 4 * c);
  }

  if (h.planes != 1) return 0;
  if (h.width <= 0 || static_cast<uint32_t>(h.width) > kMaxSide) return 0;
  if (h.height == 0 || h.height < -static_cast<int32_t>(kMaxSide) ||
      h.height > static_cast<int32_t>(kMaxSide)) {
    return 0;
  }
  const uint64_t rows = h.height < 0 ? 0u - static_cast<uint64_t>(static_cast<int64_t>(h.height))
                                     : static_cast<uint64_t>(h.height);
  if (static_cast<uint64_t>(h.width) * rows > kMaxPixels) return 0;

  const bool plainBits = h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 24;
  if (h.size == kPlainHeaderSize && h.compression == BI_RGB && plainBits && h.height > 0 &&
      h.clrUsed <= kMaxSide) {
    const uint16_t colours = ColourCount(h.clrUsed, h.bitCount);
    if (h.offBits == 0 || h.offBits == kFileHeaderSize + kPlainHeaderSize + 4u * colours) {
      return ReadPlain(file, h, image);
    }
  }
  return ReadConverted(file, h, image);
}

}  // namespace

uint16_t ColourCount(uint32_t clrUsed, uint16_t bitCount) {
  const uint16_t stated = static_cast<uint16_t>(clrUsed);
  if (stated != 0 || bitCount == 24 || bitCount >= 16) return stated;
  return static_cast<uint16_t>(1u << bitCount);
}

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

// Failures are told by ReportBmpFailure, one box for each, but for a close
// that fails, which is told at once.
int ReadBmpFile(HWND, const char* path, BmpImage* image) {
  openFailure = nullptr;
  HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    openFailure = OpenFailureText(path, GetLastError());
    return 0;
  }
  // A path may name a device or a pipe rather than a file on a disk; there
  // is no picture to read there.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    openFailure = kNotAFile;
    CloseFile(file);
    return 0;
  }
  // An empty file cannot be mapped; like any file that cannot be, it is
  // told as one that holds no picture.
  const DWORD size = GetFileSize(file, nullptr);
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, size, nullptr);
  if (!mapping) {
    CloseFile(file);
    return 0;
  }
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  if (!view) {
    CloseMapping(mapping);
    CloseFile(file);
    return 0;
  }
  const int result = ReadBmpBytes(view, size, image);
  UnmapViewOfFile(view);
  CloseMapping(mapping);
  CloseFile(file);
  return result;
}

int ReadBmpBytes(const void* data, uint32_t size, BmpImage* image) {
  image->indexTableFailureTold = false;
  return ReadMapped(View{static_cast<const uint8_t*>(data), size}, image);
}

bool CanReadBmpFile(const char* path) {
  BmpImage probe{};
  GiveFreshInfoBlock(&probe);
  const int read = ReadBmpFile(nullptr, path, &probe);
  FreeBmpImage(&probe);
  return read != 0;
}

void ReportBmpFailure(HWND owner, const char* role, const char* path, const char* formatText) {
  const std::string file = std::string("\n\n") + role + " file: " + path;
  if (openFailure) {
    ShowMessageBox(owner, (openFailure + file).c_str(), kProgramName, MB_OK);
  } else {
    ShowMessageBox(owner, (formatText + file).c_str(), "BMP format error", MB_OK);
  }
}

void SetBmpHandleCloser(HandleCloser closer) { closeHandle = closer ? closer : CloseHandle; }
