#include <gtest/gtest.h>

#include <cstring>

#include "images/bmp_files.h"
#include "images/bmp_image.h"
#include "images/picture.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace {

int LoadBytes(const Bytes& bytes, BmpImage* image, const char* name = "file.bmp") {
  const std::string path = WriteScratchFile(name, bytes);
  return LoadBmpImage(nullptr, path.c_str(), 0, image);
}

Bytes Pal8(int w, int h, uint32_t clrUsed, int tableEntries) {
  BmpParts p;
  p.width = w;
  p.height = h;
  p.bitCount = 8;
  p.clrUsed = clrUsed;
  p.table = Palette(tableEntries, [](int i) { return static_cast<uint32_t>(i * 0x010203); });
  p.pixels = PackRows(w, h, 8, [](int x, int y) { return static_cast<uint32_t>(x + 4 * y); });
  return BmpFile(p);
}

TEST(BmpLoader, EightBitsWithoutColourCountGetAFullTable) {
  auto& boxes = RecordMessageBoxes();
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(Pal8(4, 3, 0, 256), &image));
  EXPECT_EQ(256u, image.info->biClrUsed);
  EXPECT_EQ(40 + 4 * 256, image.bitsOffset);
  EXPECT_EQ(12u, image.info->biSizeImage);
  EXPECT_EQ(40u, image.info->biSize);
  EXPECT_EQ(4, image.info->biWidth);
  EXPECT_EQ(3, image.info->biHeight);
  const uint8_t* table = ImageTable(image);
  EXPECT_EQ(0x03, table[4 * 1 + 0]);  // blue, green, red, 0 as in the file
  EXPECT_EQ(0x02, table[4 * 1 + 1]);
  EXPECT_EQ(0x01, table[4 * 1 + 2]);
  EXPECT_EQ(0xFF & (255 * 3), table[4 * 255 + 0]);
  // Stored bottom-up: the first stored row is the picture's last.
  EXPECT_EQ(8, ImageBits(image)[0]);
  EXPECT_EQ(0, ImageBits(image)[8]);
  EXPECT_TRUE(boxes.empty());
  FreeBmpImage(&image);
}

TEST(BmpLoader, EightBitsWithTwentyColoursGetTwentyEntries) {
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(Pal8(4, 3, 20, 20), &image));
  EXPECT_EQ(20u, image.info->biClrUsed);
  EXPECT_EQ(40 + 4 * 20, image.bitsOffset);
  EXPECT_EQ(0, memcmp(ImageBits(image), PackRows(4, 3, 8, [](int x, int y) {
                        return static_cast<uint32_t>(x + 4 * y);
                      }).data(), 12));
  FreeBmpImage(&image);
}

TEST(BmpLoader, TwentyFourBitsHaveNoTable) {
  BmpParts p;
  p.width = 3;
  p.height = 2;
  p.bitCount = 24;
  p.pixels = PackRows(3, 2, 24, [](int x, int y) { return static_cast<uint32_t>(0x102030 * (x + 1) + y); });
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(BmpFile(p), &image));
  EXPECT_EQ(40, image.bitsOffset);
  EXPECT_EQ(0u, image.info->biClrUsed);
  EXPECT_EQ(24u, image.info->biSizeImage);
  EXPECT_EQ(0, memcmp(ImageBits(image), p.pixels.data(), p.pixels.size()));
  FreeBmpImage(&image);
}

TEST(BmpLoader, OneBitThirtyThreeWideHasEightByteRows) {
  BmpParts p;
  p.width = 33;
  p.height = 10;
  p.bitCount = 1;
  p.table = {0x000000, 0xFFFFFF};
  p.pixels = PackRows(33, 10, 1, [](int x, int y) { return static_cast<uint32_t>((x + y) & 1); });
  ASSERT_EQ(80u, p.pixels.size());
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(BmpFile(p), &image));
  EXPECT_EQ(80u, image.info->biSizeImage);
  EXPECT_EQ(2u, image.info->biClrUsed);
  EXPECT_EQ(48, image.bitsOffset);
  EXPECT_EQ(0, memcmp(ImageBits(image), p.pixels.data(), 80));
  FreeBmpImage(&image);
}

TEST(BmpLoader, StatedImageSizeIsKept) {
  BmpParts p;
  p.width = 4;
  p.height = 2;
  p.bitCount = 8;
  p.clrUsed = 2;
  p.table = {0, 0xFFFFFF};
  p.pixels = PackRows(4, 2, 8, [](int, int) { return 1u; });
  p.pixels.resize(20, 0xAB);  // writers may pad the array
  p.sizeImage = 20;
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(BmpFile(p), &image));
  EXPECT_EQ(20u, image.info->biSizeImage);
  EXPECT_EQ(0xAB, ImageBits(image)[19]);
  FreeBmpImage(&image);
}

TEST(BmpLoader, NotBmIsRefusedWithoutMessage) {
  auto& boxes = RecordMessageBoxes();
  Bytes b = Pal8(4, 3, 0, 256);
  b[0] = 'M';
  b[1] = 'B';
  BmpImage image = FreshImage();
  EXPECT_EQ(0, LoadBytes(b, &image));
  EXPECT_TRUE(boxes.empty());
  FreeBmpImage(&image);
}

TEST(BmpLoader, CoreHeaderIsRefusedWithoutMessage) {
  auto& boxes = RecordMessageBoxes();
  Bytes b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0,
             12, 0, 0, 0, 2, 0, 2, 0, 1, 0, 1, 0,
             0, 0, 0, 255, 255, 255, 0x40, 0, 0, 0, 0x80, 0, 0, 0};
  b.resize(80, 0);
  BmpImage image = FreshImage();
  EXPECT_EQ(0, LoadBytes(b, &image));
  EXPECT_TRUE(boxes.empty());
  FreeBmpImage(&image);
}

TEST(BmpLoader, MissingFileSaysFileNotFound) {
  auto& boxes = RecordMessageBoxes();
  BmpImage image = FreshImage();
  EXPECT_EQ(0, LoadBmpImage(nullptr, ScratchPath("none.bmp").c_str(), 0, &image));
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("File not found", boxes[0].text);
  EXPECT_EQ("File not found", boxes[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK), boxes[0].type);
  EXPECT_EQ(nullptr, boxes[0].owner);
  FreeBmpImage(&image);
}

TEST(BmpLoader, FileHeldOpenElsewhereSaysFileNotFound) {
  auto& boxes = RecordMessageBoxes();
  const std::string path = WriteScratchFile("held.bmp", Pal8(4, 3, 0, 256));
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  BmpImage image = FreshImage();
  EXPECT_EQ(0, LoadBmpImage(nullptr, path.c_str(), 0, &image));
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("File not found", boxes[0].text);
  CloseHandle(held);
  FreeBmpImage(&image);
}

TEST(BmpLoader, EmptyFileCannotBeMapped) {
  auto& boxes = RecordMessageBoxes();
  BmpImage image = FreshImage();
  EXPECT_EQ(0, LoadBytes({}, &image));
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Error creating the file mapping", boxes[0].text);
  EXPECT_EQ("hFileMap invalid", boxes[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK), boxes[0].type);
  FreeBmpImage(&image);
}

// Closes for real and reports a failure.
BOOL WINAPI FailingClose(HANDLE h) {
  CloseHandle(h);
  return FALSE;
}

int closesSeen = 0;
BOOL WINAPI FailSecondClose(HANDLE h) {
  CloseHandle(h);
  return ++closesSeen != 2;
}

TEST(BmpLoader, FailedClosesAreReportedMapFirstAndKeepTheResult) {
  auto& boxes = RecordMessageBoxes();
  SetBmpHandleCloser(FailingClose);
  BmpImage image = FreshImage();
  EXPECT_EQ(1, LoadBytes(Pal8(4, 3, 0, 256), &image));
  SetBmpHandleCloser(nullptr);
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Error closing the map file", boxes[0].text);
  EXPECT_EQ("Include", boxes[0].caption);
  EXPECT_EQ("Error closing the file", boxes[1].text);
  EXPECT_EQ("Include", boxes[1].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK), boxes[1].type);
  EXPECT_EQ(nullptr, boxes[1].owner);
  FreeBmpImage(&image);
}

TEST(BmpLoader, FailedFileCloseComesOnlyForTheFile) {
  auto& boxes = RecordMessageBoxes();
  SetBmpHandleCloser(FailSecondClose);
  BmpImage image = FreshImage();
  EXPECT_EQ(1, LoadBytes(Pal8(4, 3, 0, 256), &image));
  SetBmpHandleCloser(nullptr);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Error closing the file", boxes[0].text);
  FreeBmpImage(&image);
}

TEST(BmpLoader, FailedCloseComesBeforeTheMappingMessage) {
  auto& boxes = RecordMessageBoxes();
  SetBmpHandleCloser(FailingClose);
  BmpImage image = FreshImage();
  EXPECT_EQ(0, LoadBytes({}, &image));
  SetBmpHandleCloser(nullptr);
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Error closing the file", boxes[0].text);
  EXPECT_EQ("Include", boxes[0].caption);
  EXPECT_EQ("Error creating the file mapping", boxes[1].text);
  FreeBmpImage(&image);
}

TEST(BmpLoader, FailedClosesOnARefusedFileKeepZero) {
  auto& boxes = RecordMessageBoxes();
  SetBmpHandleCloser(FailingClose);
  Bytes b = Pal8(4, 3, 0, 256);
  b[0] = 'X';
  BmpImage image = FreshImage();
  EXPECT_EQ(0, LoadBytes(b, &image));
  SetBmpHandleCloser(nullptr);
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Error closing the map file", boxes[0].text);
  EXPECT_EQ("Error closing the file", boxes[1].text);
  FreeBmpImage(&image);
}

// A record that holds a painted picture: palette, index table, DC, bitmap.
void PaintOnce(BmpImage* image) {
  Canvas canvas;
  MakeCanvas(&canvas, 64, 48, RGB(0, 0, 0));
  Settings().PictureLayout = 1;
  DrawPicture(nullptr, canvas.dc, image, 64, 48);
}

TEST(BmpLoader, PreviouslyLoadedReleasesThePaintedObjects) {
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(Pal8(4, 3, 0, 256), &image));
  PaintOnce(&image);
  ASSERT_NE(nullptr, image.palette);
  ASSERT_NE(nullptr, image.indexTable);
  ASSERT_NE(nullptr, image.bitmap);
  HBITMAP bitmap = image.bitmap;
  HPALETTE palette = image.palette;
  HDC memDC = image.memDC;
  GiveFreshInfoBlock(&image);
  const std::string path = WriteScratchFile("second.bmp", Pal8(2, 2, 0, 256));
  ASSERT_EQ(1, LoadBmpImage(nullptr, path.c_str(), 1, &image));
  EXPECT_EQ(nullptr, image.bitmap);
  EXPECT_EQ(nullptr, image.palette);
  EXPECT_EQ(nullptr, image.indexTable);
  EXPECT_EQ(0u, GetObjectType(bitmap));
  EXPECT_EQ(0u, GetObjectType(palette));
  EXPECT_EQ(0u, GetObjectType(memDC));
  EXPECT_EQ(2, image.info->biWidth);
  FreeBmpImage(&image);
}

TEST(BmpLoader, NotPreviouslyLoadedLeavesTheObjectsAlone) {
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(Pal8(4, 3, 0, 256), &image));
  PaintOnce(&image);
  const BmpImage before = image;
  GiveFreshInfoBlock(&image);
  const std::string path = WriteScratchFile("second.bmp", Pal8(2, 2, 0, 256));
  ASSERT_EQ(1, LoadBmpImage(nullptr, path.c_str(), 0, &image));
  EXPECT_EQ(before.bitmap, image.bitmap);
  EXPECT_EQ(before.palette, image.palette);
  EXPECT_EQ(before.indexTable, image.indexTable);
  EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(before.bitmap));
  EXPECT_EQ(static_cast<DWORD>(OBJ_PAL), GetObjectType(before.palette));
  EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(before.memDC));
  FreeBmpImage(&image);
}

TEST(BmpLoader, FailedLoadAfterRelease) {
  auto& boxes = RecordMessageBoxes();
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(Pal8(4, 3, 0, 256), &image));
  PaintOnce(&image);
  GiveFreshInfoBlock(&image);
  EXPECT_EQ(0, LoadBmpImage(nullptr, ScratchPath("none.bmp").c_str(), 1, &image));
  EXPECT_EQ(nullptr, image.bitmap);
  EXPECT_EQ(nullptr, image.palette);
  EXPECT_EQ(nullptr, image.indexTable);
  EXPECT_EQ(1u, boxes.size());
  FreeBmpImage(&image);
}

// Files that promise more than they hold, or state sizes no picture has,
// are refused without a message and without reading past their end.
class BmpRefused : public testing::TestWithParam<int> {};

Bytes Damaged(int which) {
  BmpParts p;
  p.width = 40;
  p.height = 30;
  p.bitCount = 8;
  p.table = Palette(256, [](int i) { return static_cast<uint32_t>(i); });
  p.pixels = PackRows(40, 30, 8, [](int x, int) { return static_cast<uint32_t>(x); });
  switch (which) {
    case 0: { Bytes b = BmpFile(p); b.resize(b.size() - 1); return b; }   // last pixel byte missing
    case 1: { Bytes b = BmpFile(p); b.resize(54 + 500); return b; }       // cut inside the table
    case 2: { Bytes b = BmpFile(p); b.resize(40); return b; }             // cut inside the header
    case 3: { Bytes b = BmpFile(p); b.resize(16); return b; }             // cut after the header size
    case 4: { Bytes b = BmpFile(p); b.resize(10); return b; }             // cut inside the file header
    case 5: p.sizeImage = 0x7F000000; return BmpFile(p);                 // image size past the end
    case 6: p.sizeImage = static_cast<uint32_t>(p.pixels.size() + 1); return BmpFile(p);
    case 7: p.width = 100000; return BmpFile(p);                          // absurd width
    case 8: p.width = -40; return BmpFile(p);
    case 9: p.width = 0; return BmpFile(p);
    case 10: p.height = 0; return BmpFile(p);
    case 11: p.clrUsed = 0x12345678; return BmpFile(p);                   // absurd colour count
    case 12: p.clrUsed = 60000; return BmpFile(p);                        // table past the end
    case 13: p.planes = 3; return BmpFile(p);
    case 14: p.bitCount = 7; return BmpFile(p);
    case 15: p.headerSize = 66; return BmpFile(p);
    case 16: p.headerSize = 200; return BmpFile(p);
    case 17: p.height = -0x7FFFFFFF - 1; return BmpFile(p);
    case 18: p.height = 70000; return BmpFile(p);
    case 19: p.compression = 1; p.width = 60000; p.height = 60000;       // RLE far too large
             p.pixels = {0, 1}; return BmpFile(p);
    case 20: p.compression = 1; p.pixels = {50, 7, 0, 1}; return BmpFile(p);  // run past the row
    case 21: p.compression = 1; p.pixels = {0, 2, 50, 0, 0, 1}; return BmpFile(p);  // move off the picture
    case 22: p.compression = 1; p.pixels = {0, 5, 1, 2}; return BmpFile(p);  // literal past the data
    case 23: p.offBits = 0x10000000; return BmpFile(p);                   // pixels past the end
    case 24: p.compression = 4; return BmpFile(p);                        // JPEG
    case 25: p.compression = 3; return BmpFile(p);                        // bit fields on 8 bits
    case 26: p.bitCount = 16; p.compression = 3; p.masks = {0xF00F, 0x0F0, 0}; return BmpFile(p);
    default: return {};
  }
}

TEST_P(BmpRefused, AsAFormatError) {
  auto& boxes = RecordMessageBoxes();
  const Bytes b = Damaged(GetParam());
  BmpImage image = FreshImage();
  EXPECT_EQ(0, ReadAtPageEnd(b, &image));
  FreeBmpImage(&image);
  image = FreshImage();
  EXPECT_EQ(0, LoadBytes(b, &image));
  EXPECT_TRUE(boxes.empty());
  FreeBmpImage(&image);
}

INSTANTIATE_TEST_SUITE_P(Damaged, BmpRefused, testing::Range(0, 27));

TEST(BmpLoader, ShortStatedImageSizeStillReadsWholeRows) {
  BmpParts p;
  p.width = 40;
  p.height = 30;
  p.bitCount = 8;
  p.table = Palette(256, [](int i) { return static_cast<uint32_t>(i); });
  p.pixels = PackRows(40, 30, 8, [](int x, int) { return static_cast<uint32_t>(x); });
  p.sizeImage = 10;
  BmpImage image = FreshImage();
  ASSERT_EQ(1, ReadAtPageEnd(BmpFile(p), &image));
  EXPECT_EQ(10u, image.info->biSizeImage);
  EXPECT_EQ(39, ImageBits(image)[29 * 40 + 39]);  // the block holds every row
  FreeBmpImage(&image);
}

// Variants read into the plain layout.

TEST(BmpLoader, TopDownRowsAreTurnedBottomUp) {
  BmpParts p;
  p.width = 3;
  p.height = -2;
  p.bitCount = 24;
  auto colour = [](int x, int y) { return static_cast<uint32_t>(0x100000 * (x + 1) + y); };
  p.pixels = PackRows(3, 2, 24, colour, true);
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(BmpFile(p), &image));
  EXPECT_EQ(2, image.info->biHeight);
  EXPECT_EQ(0, memcmp(ImageBits(image), PackRows(3, 2, 24, colour).data(), 24));
  FreeBmpImage(&image);
}

TEST(BmpLoader, LongHeaderAndPixelsElsewhereGiveEightBitsWithFullTable) {
  BmpParts p;
  p.headerSize = 124;
  p.width = 5;
  p.height = 2;
  p.bitCount = 4;
  p.clrUsed = 3;
  p.table = {0xFF0000, 0x00FF00, 0x0000FF};
  p.gap = Bytes(10, 0xEE);
  p.pixels = PackRows(5, 2, 4, [](int x, int y) { return static_cast<uint32_t>((x + y) % 3); });
  BmpImage image = FreshImage();
  ASSERT_EQ(1, ReadAtPageEnd(BmpFile(p), &image));
  EXPECT_EQ(40u, image.info->biSize);
  EXPECT_EQ(8, image.info->biBitCount);
  EXPECT_EQ(256u, image.info->biClrUsed);
  EXPECT_EQ(40 + 1024, image.bitsOffset);
  EXPECT_EQ(0xFF, ImageTable(image)[2]);       // entry 0 red
  EXPECT_EQ(0xFF, ImageTable(image)[4 * 2]);   // entry 2 blue
  EXPECT_EQ(0, ImageTable(image)[4 * 3 + 2]);  // the rest black
  const uint8_t* bits = ImageBits(image);
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ((x + 1) % 3, bits[x]);      // bottom row, y = 1
    EXPECT_EQ(x % 3, bits[8 + x]);        // top row
  }
  FreeBmpImage(&image);
}

TEST(BmpLoader, BitFieldsBecomeTwentyFourBits) {
  BmpParts p;
  p.width = 2;
  p.height = 1;
  p.bitCount = 16;
  p.compression = 3;
  p.masks = {0xF800, 0x07E0, 0x001F};
  p.pixels = PackRows(2, 1, 16, [](int x, int) { return x == 0 ? 0xF800u : 0x07FFu; });
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(BmpFile(p), &image));
  EXPECT_EQ(24, image.info->biBitCount);
  EXPECT_EQ(0u, image.info->biClrUsed);
  EXPECT_EQ(40, image.bitsOffset);
  const uint8_t* bits = ImageBits(image);
  EXPECT_EQ(0, bits[0]);    // blue
  EXPECT_EQ(0, bits[1]);    // green
  EXPECT_EQ(255, bits[2]);  // red
  EXPECT_EQ(255, bits[3]);
  EXPECT_EQ(255, bits[4]);
  EXPECT_EQ(0, bits[5]);
  FreeBmpImage(&image);
}

TEST(BmpLoader, ThirtyTwoBitsDropTheFourthByte) {
  BmpParts p;
  p.width = 1;
  p.height = 1;
  p.bitCount = 32;
  p.pixels = PackRows(1, 1, 32, [](int, int) { return 0x80112233u; });
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(BmpFile(p), &image));
  const uint8_t* bits = ImageBits(image);
  EXPECT_EQ(0x33, bits[0]);
  EXPECT_EQ(0x22, bits[1]);
  EXPECT_EQ(0x11, bits[2]);
  FreeBmpImage(&image);
}

TEST(BmpLoader, RleEightIsUnpacked) {
  BmpParts p;
  p.width = 6;
  p.height = 3;
  p.bitCount = 8;
  p.compression = 1;
  p.clrUsed = 4;
  p.table = {0, 0xFF0000, 0x00FF00, 0x0000FF};
  // Bottom row: 3 x 1, literal 2 3 2; next: move 2 right, 2 x 3, end of
  // line; top row: end of picture before it (stays 0).
  p.pixels = {3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 0, 2, 3, 0, 0, 0, 1};
  BmpImage image = FreshImage();
  ASSERT_EQ(1, ReadAtPageEnd(BmpFile(p), &image));
  const uint8_t* bits = ImageBits(image);
  const uint8_t row0[6] = {1, 1, 1, 2, 3, 2};
  const uint8_t row1[6] = {0, 0, 3, 3, 0, 0};
  EXPECT_EQ(0, memcmp(bits, row0, 6));
  EXPECT_EQ(0, memcmp(bits + 8, row1, 6));
  for (int x = 0; x < 6; ++x) EXPECT_EQ(0, bits[16 + x]);
  FreeBmpImage(&image);
}

TEST(BmpLoader, RleFourIsUnpacked) {
  BmpParts p;
  p.width = 7;
  p.height = 1;
  p.bitCount = 4;
  p.compression = 2;
  p.clrUsed = 3;
  p.table = {0, 0xFF0000, 0x00FF00};
  p.pixels = {3, 0x12, 0, 3, 0x21, 0x20, 0, 1};  // a run of 3, a literal of 3
  BmpImage image = FreshImage();
  ASSERT_EQ(1, ReadAtPageEnd(BmpFile(p), &image));
  const uint8_t row[7] = {1, 2, 1, 2, 1, 2, 0};
  EXPECT_EQ(0, memcmp(ImageBits(image), row, 7));
  FreeBmpImage(&image);
}

TEST(BmpLoader, TwoBitsAreUnpacked) {
  BmpParts p;
  p.width = 5;
  p.height = 1;
  p.bitCount = 2;
  p.table = {0, 0xFF0000, 0x00FF00, 0x0000FF};
  p.pixels = PackRows(5, 1, 2, [](int x, int) { return static_cast<uint32_t>(x % 4); });
  BmpImage image = FreshImage();
  ASSERT_EQ(1, LoadBytes(BmpFile(p), &image));
  const uint8_t row[5] = {0, 1, 2, 3, 0};
  EXPECT_EQ(0, memcmp(ImageBits(image), row, 5));
  FreeBmpImage(&image);
}

}  // namespace
