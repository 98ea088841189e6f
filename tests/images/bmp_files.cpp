#include "images/bmp_files.h"

#include <cstring>

namespace {

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

}  // namespace

std::string ScratchDir() {
  static std::string dir;
  if (dir.empty()) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir = std::string(temp) + "nivalo-images-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
  }
  return dir;
}

std::string ScratchPath(const std::string& name) { return ScratchDir() + "\\" + name; }

std::string WriteScratchFile(const std::string& name, const Bytes& bytes) {
  const std::string path = ScratchPath(name);
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return path;
}

Bytes PackRows(int width, int height, int bitCount,
               const std::function<uint32_t(int, int)>& value, bool topDown) {
  const size_t stride = (static_cast<size_t>(bitCount) * width + 31) / 32 * 4;
  Bytes out(stride * height, 0);
  for (int r = 0; r < height; ++r) {
    const int y = topDown ? r : height - 1 - r;
    uint8_t* row = out.data() + r * stride;
    for (int x = 0; x < width; ++x) {
      const uint32_t v = value(x, y);
      switch (bitCount) {
        case 1: case 2: case 4: {
          const int perByte = 8 / bitCount;
          const int shift = 8 - bitCount - (x % perByte) * bitCount;
          row[x / perByte] |= static_cast<uint8_t>((v & ((1u << bitCount) - 1)) << shift);
          break;
        }
        case 8: row[x] = static_cast<uint8_t>(v); break;
        case 16: row[2 * x] = static_cast<uint8_t>(v); row[2 * x + 1] = static_cast<uint8_t>(v >> 8); break;
        case 24:
          row[3 * x] = static_cast<uint8_t>(v);
          row[3 * x + 1] = static_cast<uint8_t>(v >> 8);
          row[3 * x + 2] = static_cast<uint8_t>(v >> 16);
          break;
        case 32:
          memcpy(row + 4 * x, &v, 4);
          break;
      }
    }
  }
  return out;
}

Bytes BmpFile(const BmpParts& p) {
  Bytes info;
  Put32(info, p.headerSize);
  Put32(info, static_cast<uint32_t>(p.width));
  Put32(info, static_cast<uint32_t>(p.height));
  Put16(info, p.planes);
  Put16(info, p.bitCount);
  Put32(info, p.compression);
  Put32(info, p.sizeImage);
  Put32(info, 2835);
  Put32(info, 2835);
  Put32(info, p.clrUsed);
  Put32(info, 0);
  const bool masksInHeader = p.headerSize > 40;
  if (masksInHeader) {
    for (uint32_t m : p.masks) Put32(info, m);
  }
  info.resize(p.headerSize, 0);
  if (!masksInHeader) {
    for (uint32_t m : p.masks) Put32(info, m);
  }
  for (uint32_t c : p.table) {
    info.push_back(static_cast<uint8_t>(c));
    info.push_back(static_cast<uint8_t>(c >> 8));
    info.push_back(static_cast<uint8_t>(c >> 16));
    info.push_back(0);
  }
  info.insert(info.end(), p.gap.begin(), p.gap.end());
  const uint32_t offBits = p.offBits >= 0 ? static_cast<uint32_t>(p.offBits)
                                          : static_cast<uint32_t>(14 + info.size());
  Bytes file;
  file.push_back('B');
  file.push_back('M');
  Put32(file, static_cast<uint32_t>(14 + info.size() + p.pixels.size()));
  Put32(file, 0);
  Put32(file, offBits);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), p.pixels.begin(), p.pixels.end());
  return file;
}

std::vector<uint32_t> Palette(int n, const std::function<uint32_t(int)>& colour) {
  std::vector<uint32_t> table;
  for (int i = 0; i < n; ++i) table.push_back(colour(i));
  return table;
}

BmpImage FreshImage() {
  BmpImage image{};
  GiveFreshInfoBlock(&image);
  return image;
}

int ReadAtPageEnd(const Bytes& bytes, BmpImage* image) {
  const SIZE_T page = 4096;
  const SIZE_T span = (bytes.size() + page - 1) / page * page;
  auto* base = static_cast<uint8_t*>(VirtualAlloc(nullptr, span + page, MEM_RESERVE | MEM_COMMIT,
                                                  PAGE_READWRITE));
  DWORD old;
  VirtualProtect(base + span, page, PAGE_NOACCESS, &old);
  uint8_t* start = base + span - bytes.size();
  if (!bytes.empty()) memcpy(start, bytes.data(), bytes.size());
  const int result = ReadBmpBytes(start, static_cast<uint32_t>(bytes.size()), image);
  VirtualFree(base, 0, MEM_RELEASE);
  return result;
}

const uint8_t* ImageBits(const BmpImage& image) {
  return reinterpret_cast<const uint8_t*>(image.info) + image.bitsOffset;
}

const uint8_t* ImageTable(const BmpImage& image) {
  return reinterpret_cast<const uint8_t*>(image.info) + image.info->biSize;
}

COLORREF Canvas::At(int x, int y) const {
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  const uint8_t* p = bits + y * stride + 3 * x;
  return RGB(p[2], p[1], p[0]);
}

Canvas::~Canvas() {
  if (dc) {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
}

void MakeCanvas(Canvas* c, int width, int height, COLORREF fill) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  c->dc = CreateCompatibleDC(nullptr);
  c->bitmap = CreateDIBSection(c->dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  c->old = static_cast<HBITMAP>(SelectObject(c->dc, c->bitmap));
  c->bits = static_cast<uint8_t*>(bits);
  c->width = width;
  c->height = height;
  HBRUSH brush = CreateSolidBrush(fill);
  RECT r{0, 0, width, height};
  FillRect(c->dc, &r, brush);
  DeleteObject(brush);
  GdiFlush();
}

std::vector<RECT> RegionRects(HRGN region) {
  std::vector<RECT> rects;
  if (!region) return rects;
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<uint8_t> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (!GetRegionData(region, size, data)) return rects;
  const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
  rects.assign(r, r + data->rdh.nCount);
  return rects;
}

HRGN RegionFromGrid(int width, int height, const std::function<bool(int, int)>& in) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  HRGN piece = CreateRectRgn(0, 0, 0, 0);
  for (int y = 0; y < height; ++y) {
    int x = 0;
    while (x < width) {
      if (!in(x, y)) {
        ++x;
        continue;
      }
      int end = x;
      while (end < width && in(end, y)) ++end;
      SetRectRgn(piece, x, y, end, y + 1);
      CombineRgn(region, region, piece, RGN_OR);
      x = end;
    }
  }
  DeleteObject(piece);
  return region;
}
