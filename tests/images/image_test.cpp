// The BMP loader, the background picture, the mask regions and the scene's use of them.
#include "images/image_files.h"

namespace {

struct Start : testing::EmptyTestEventListener {  // every test starts from the defaults, with message boxes recorded
  void OnTestStart(const testing::TestInfo&) override { ResetSettings(), RecordMessageBoxes(); }
};
const bool kStart = (testing::UnitTest::GetInstance()->listeners().Append(new Start), true);

TEST(BmpLoader, PlainFilesAreCopiedWithTheirCounts) {
  const std::tuple<Bytes, DWORD, int32_t, DWORD> cases[] = {{Pic(4, 3, 8), 256, 40 + 1024, 12},
      {Patch(BmpFile(4, 3, 8, 20, [](int x, int y) { return x + y; }), 46, 20), 20, 120, 12},
      {Pic(3, 2, 24), 0, 40, 24}, {Pic(33, 10, 1), 2, 48, 80},
      {Patch(Pic(40, 30, 8), 34, 10), 256, 1064, 10}};  // the stated size short of the rows
  for (auto [file, clrUsed, bitsOffset, sizeImage] : cases) {
    BmpImage image = Fresh();
    ASSERT_EQ(1, ReadAtPageEnd(file, &image));
    auto* block = reinterpret_cast<uint8_t*>(image.info);
    EXPECT_EQ(Bytes(&file[14], &file[30]), Bytes(block, block + 16));  // header size, sizes, bits
    EXPECT_EQ(std::tuple(clrUsed, bitsOffset, sizeImage),
              std::tuple(image.info->biClrUsed, image.bitsOffset, image.info->biSizeImage));
    EXPECT_EQ(Bytes(file.begin() + 54, file.end()), Bytes(block + 40, block + file.size() - 14));  // table, pixels
    FreeBmpImage(&image);
  }
}

// Files that are no BMP, promise more than they hold or state sizes no
// picture has: refused without a message and without a read past the end.
TEST(BmpLoader, DamagedFilesAreRefusedWithinTheirBytes) {
  auto& boxes = RecordMessageBoxes();
  const Bytes good = Pic(40, 30, 8), rle = Patch(Bytes(good.begin(), good.begin() + 1078), 30, 1);
  auto with = [&](Bytes head, Bytes tail) { return head.insert(head.end(), tail.begin(), tail.end()), head; };
  // No BMP, a 12-byte header, no BM, split bit fields; RLE too large, a run past the row, moves off it, data cut short
  std::vector<Bytes> cases = {Bytes(good.size(), 'x'), Patch(Patch(Patch(good, 14, 12), 18, 0x20002), 22, 0x10001),
      Patch(good, 0, 'M' | 'B' << 8, 2), Patch(Patch(Patch(good, 28, 32, 2), 30, 3), 22, 7),  // colour 2: split mask
      with(Patch(Patch(rle, 18, 60000), 22, 60000), {0, 1}), with(rle, {50, 7, 0, 1}), with(rle, {0, 2, 50, 0, 0, 1}),
      with(rle, {0, 5, 1, 2}), with(rle, {0, 2, 0, 50, 0, 1})};
  for (size_t size : {good.size() - 1, size_t(554), size_t(40), size_t(16), size_t(10), size_t(0)})
    cases.push_back(Bytes(good.begin(), good.begin() + size));
  // Width, height, planes and bits, compression (JPEG, bit fields), image size, colours, header size, offset
  for (auto [at, v] : std::vector<std::pair<size_t, uint32_t>>{{18, 100000}, {18, -40u}, {18, 0}, {22, 0},
           {22, 70000}, {22, 0x80000000}, {26, 3 | 8 << 16}, {26, 1 | 7 << 16}, {30, 4}, {30, 3}, {34, 0x7F000000},
           {34, 1201}, {46, 0x12345678}, {46, 60000}, {14, 66}, {14, 200}, {10, 0x10000000}})
    cases.push_back(Patch(good, at, v));
  for (const Bytes& file : cases) {
    BmpImage image = Fresh();
    EXPECT_EQ(0, ReadAtPageEnd(file, &image)) << "case " << &file - &cases[0];
    FreeBmpImage(&image);
  }
  EXPECT_EQ(Strings{}, Seen(boxes));
}

BOOL WINAPI FailingClose(HANDLE h) { return !CloseHandle(h); }

// One box per failure: why the file could not be opened, under the
// program's name, or else the caller's format error; a close that fails
// says so before it.
TEST(BmpLoader, EachFailedStepSaysSoInTurn) {
  const std::string good = Write("good", Pic(4, 3, 8)), empty = Write("empty", {}), refused = Write("x", Bytes(9));
  const std::string format = "BMP format error: x", file = "Include: Error closing the file";
  const std::string notFound = "Nivalo: File not found", mapClose = "Include: Error closing the map file";
  const std::tuple<std::string, HandleCloser, bool, int, Strings> cases[] = {{Scratch("no"), 0, false, 0, {notFound}},
      {good, nullptr, true, 0, {"Nivalo: Access denied: the file is in use by another program, or you may not read it"}},
      {Scratch(""), nullptr, false, 0, {"Nivalo: Not a file: the path names a folder or a device"}},  // a folder
      {empty, nullptr, false, 0, {format}},
      {good, FailingClose, false, 1, {mapClose, file}}, {empty, FailingClose, false, 0, {file, format}},
      {refused, FailingClose, false, 0, {mapClose, file, format}}};
  for (auto [path, closer, hold, result, expected] : cases) {
    auto& boxes = RecordMessageBoxes();
    HANDLE held = hold ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
    SetBmpHandleCloser(closer);
    BmpImage image = Fresh();
    EXPECT_EQ(result, LoadBmpImage(GetDesktopWindow(), path.c_str(), 0, &image)) << path;
    if (!result) ReportBmpFailure(nullptr, "Mask", path.c_str(), "x");
    SetBmpHandleCloser(nullptr);
    for (std::string& e : expected) e += e.find("Include") == 0 ? "" : "\n\nMask file: " + path;  // the file named
    EXPECT_EQ(expected, Seen(boxes)) << path;
    FreeBmpImage(&image), CloseHandle(held);
  }
}

// A painted record holds a palette, an index table, a memory DC and a bitmap;
// a load told that the record held a picture releases them, even if it fails.
TEST(BmpLoader, PreviouslyLoadedReleasesThePaintedObjects) {
  using Objects = std::tuple<HPALETTE, void*, HDC, HBITMAP>;
  auto objects = [](const BmpImage& i) { return Objects(i.palette, i.indexTable, i.memDC, i.bitmap); };
  Canvas canvas(64, 48, 0);
  for (int run = 0; run < 4; ++run) {
    const bool previously = run % 2, fails = run / 2;
    BmpImage image = Fresh();
    ASSERT_EQ(1, ReadAtPageEnd(Pic(4, 3, 8), &image));
    canvas.Draw(&image, 1);
    const BmpImage before = image;
    GiveFreshInfoBlock(&image);
    const std::string second = fails ? Scratch("none") : Write("second", Pic(2, 2, 8));
    EXPECT_EQ(!fails, LoadBmpImage(nullptr, second.c_str(), previously, &image)) << run;
    EXPECT_EQ(previously ? Objects() : objects(before), objects(image)) << run;
    EXPECT_EQ(DWORD(previously ? 0 : OBJ_BITMAP + OBJ_PAL + OBJ_MEMDC),
              GetObjectType(before.bitmap) + GetObjectType(before.palette) + GetObjectType(before.memDC));
    FreeBmpImage(&image);
  }
}

// 320 x 200 on 1024 x 768: each row in colour y, its last column in 250.
TEST(Picture, LayoutsOnTheScreen) {
  BmpImage image = Fresh(), first{};
  ASSERT_EQ(1, ReadAtPageEnd(BmpFile(320, 200, 8, 256, [](int x, int y) { return x == 319 ? 250 : y; }), &image));
  const uint32_t u = kUntouched;
  const std::vector<std::tuple<int, int, uint32_t>> probes[] = {  // stretched, centred, tiled, none
      {{0, 0, Entry(0)}, {0, 767, Entry(199)}, {1023, 0, Entry(250)}, {1023, 767, Entry(250)}, {500, 384, Entry(100)}},
      {{352, 284, Entry(0)}, {351, 284, u}, {352, 283, u}, {352, 483, Entry(199)}, {671, 483, Entry(250)},
       {672, 483, u}, {352, 484, u}},
      {{0, 0, Entry(0)}, {319, 0, Entry(250)}, {320, 0, Entry(0)}, {959, 599, Entry(250)}, {960, 600, Entry(0)},
       {500, 599, Entry(199)}, {0, 767, Entry(167)}, {1023, 767, Entry(167)}},  // the last row cut at 168
      {{0, 0, u}, {352, 284, u}, {1023, 767, u}}};
  for (int layout : {3, 1, 2, 0}) {
    Canvas c(1024, 768, u);
    c.Draw(&image, layout);
    for (auto [x, y, colour] : probes[layout]) EXPECT_EQ(colour, c.At(x, y)) << x << "," << y << " in " << layout;
    EXPECT_TRUE(layout != 2 || std::count(c.bits, c.bits + 1024 * 768, u) == 0) << "tiles left a gap";
    // The palette was made, realised and put back; later paints make nothing new.
    EXPECT_TRUE(image.palette && GetCurrentObject(c.dc, OBJ_PAL) != image.palette) << layout;
    first = layout == 3 ? image : first;
    EXPECT_EQ(0, memcmp(&first, &image, sizeof image)) << layout;
  }
  // One wider than the screen shows its middle, one without size is never tiled, 2 bits show their colours.
  BmpImage wide = Fresh(), none = Fresh(), two = Fresh();
  ASSERT_EQ(1, ReadAtPageEnd(Pic(1030, 10, 24), &wide) & ReadAtPageEnd(Pic(5, 1, 2), &two));
  *none.info = BITMAPINFOHEADER{40, 5, 0x10000, 1, 24, BI_RGB, 0, 0, 0, 0, 0};  // read as 5 x 0
  Canvas c(1024, 768, kUntouched), small(5, 1, kUntouched);
  c.Draw(&wide, 1), c.Draw(&none, 2), small.Draw(&two, 1);
  EXPECT_EQ(std::tuple(kUntouched, Shown(3, 0, 0), Shown(1026, 9, 0), kUntouched),  // the corner at (-3, 379)
            std::tuple(c.At(0, 378), c.At(0, 379), c.At(1023, 388), c.At(1023, 389)));
  for (int x = 0; x < 5; ++x) EXPECT_EQ(Shown(x, 0, 4), small.At(x, 0)) << x;
  FreeBmpImage(&image), FreeBmpImage(&wide), FreeBmpImage(&none), FreeBmpImage(&two);
}

// Rows of bytes as a placed mask (padded with white to 16 bits) make count
// rectangles, whose union is the pixels of rects, and one message when cut.
TEST(MaskBits, RunRules) {
  struct { int width; std::vector<Bytes> rows; int count; std::vector<RECT> rects; int maxRects; } const cases[] = {
      {32, {{0x00, 0x00, 0xFF, 0x0F}}, 5, {{0, 0, 16, 1}, {24, 0, 28, 1}}, 20000},  // a run, 4 single pixels
      {16, {{0xFF, 0xF0}}, 4, {{12, 0, 16, 1}}, 20000}, {8, {{0x3C}}, 4, {{0, 0, 2, 1}, {6, 0, 8, 1}}, 20000},
      {40, {Bytes(5, 0xFF), Bytes(5, 0xFF)}, 0, {}, 20000},  // 20 wide: 4 pixels and 4 padding bits in a byte
      {20, {{0xFF, 0xFF, 0x05}, {0xFF, 0xFF, 0xF5}, {0xFF, 0xFF, 0x50}, {0, 0, 0x0F}}, 4,
       {{16, 0, 24, 1}, {16, 2, 17, 3}, {18, 2, 19, 3}, {0, 3, 24, 4}}, 20000},
      {8, {{0x0F}}, 4, {{0, 0, 4, 1}}, 4}, {16, std::vector<Bytes>(10, {0x7F, 0xFF}), 4, {{0, 0, 1, 4}}, 3},
      {16, {{0x00, 0x0F}, {0x00, 0x00}}, 1, {{0, 0, 8, 1}}, 0}};  // cut: the rectangle that crossed is kept
  for (auto& [width, rows, count, rects, maxRects] : cases) {
    auto& boxes = RecordMessageBoxes();
    const int stride = (width + 15) / 16 * 2;
    Bytes bytes(stride * rows.size(), 0xFF);
    for (size_t y = 0; y < rows.size(); ++y) std::copy(rows[y].begin(), rows[y].end(), &bytes[y * stride]);
    const BITMAP bm{0, width, LONG(rows.size()), stride, 1, 1, bytes.data()};
    auto in = [&](int x, int y) {
      return std::any_of(rects.begin(), rects.end(), [&](const RECT& r) { return PtInRect(&r, {x, y}); });
    };
    EXPECT_TRUE(SameRegion(PlainRegion(64, 8, in), MaskBitsToRegion(&bm, maxRects))) << width << " wide, " << count;
    EXPECT_EQ(count, MaskRectCount());
    const Strings cut{"Mask too complex: The mask requires more rectangles than you set in the settings"};
    EXPECT_EQ(count > maxRects ? cut : Strings{}, Seen(boxes)) << width << " wide, " << count;
  }
}

TEST(MaskOnScreen, BuiltinCentredAndStretched) {
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ mask = LoadImageA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDB_MASK_2000), 0, 0, 0, LR_CREATEDIBSECTION);
  HGDIOBJ old = SelectObject(source, mask);
  Canvas pixels(640, 490, 0xFFFFFF);
  BitBlt(pixels.dc, 0, 0, 640, 490, source, 0, 0, SRCCOPY);
  auto black = [&](int x, int y) { return pixels.At(x, y) == 0; };
  const HINSTANCE self = GetModuleHandleA(nullptr);
  ExpectLaid([&](MaskRegionKind k) { return BuiltinMaskRegion(self, k, {1024, 768, 1, kAnyCount}); }, 1024, 768,
             [&](int x, int y) { return x >= 192 && x < 832 && y >= 139 && y < 629 && black(x - 192, y - 139); });
  // Stretched, as the body's bits are laid: the edge holds the top two rows where the body is white.
  BITMAP bm;
  PlaceMaskBits(source, 640, 490, {1024, 768, 0, kAnyCount}, kMaskBody, &bm);
  auto laid = [&](int x, int y) { return y < 0 || !(((BYTE*)bm.bmBits)[y * bm.bmWidthBytes + x / 8] & 0x80 >> x % 8); };
  ExpectLaid([&](MaskRegionKind k) { return BuiltinMaskRegion(self, k, {1024, 768, 0, kAnyCount}); }, 1024, 768, laid);
  int blackPixels = 0;
  for (int i = 0; i < 1024 * 768; ++i) blackPixels += laid(i % 1024, i / 1024);
  EXPECT_NEAR(38539 * 1024 / 640 * 768 / 490, blackPixels, 2000);  // 38539 in the bitmap
  FreeMaskBits(&bm), SelectObject(source, old), DeleteObject(mask);
  // Sources without size are never tiled.
  EXPECT_TRUE(SameRegion(CreateRectRgn(0, 0, 0, 0), PlaceMaskRegion(source, 0, 8, {320, 200, 2, kAnyCount}, kMaskBody)));
  EXPECT_TRUE(SameRegion(CreateRectRgn(0, 0, 0, 0), PlaceMaskRegion(source, 8, 0, {320, 200, 2, kAnyCount}, kMaskEdge)));
  DeleteDC(source);
}

TEST(MaskOnScreen, UserMasksFollowTheRules) {
  auto ring = [](int x, int y) {  // a ring, a bar over white, black along the bottom and in the top corner
    const int d = (x - 50) * (x - 50) + (y - 40) * (y - 40);
    return std::abs(d - 600) <= 300 || (y >= 5 && y < 9 && x >= 80 && x < 110) || y >= 76 || (x < 10 && y < 3);
  };
  const Grid tiles = [&](int x, int y) { return y >= 0 && ring(x % 120, y % 80); };
  auto centred = [&](int x, int y) { return x >= 452 && x < 572 && y >= 344 && y < 424 && ring(x - 452, y - 344); };
  const Grid all = [](int, int) { return true; }, none = [](int, int) { return false; };
  auto stripe = [](int left) { return [=](int x, int) { return x >= left && x < left + 4; }; };  // rows of no 16s
  const std::tuple<int, int, int, int, int, int, Grid, Grid> cases[] = {{120, 80, 1, 1024, 768, 1, ring, centred},
      {120, 80, 8, 1024, 768, 1, ring, centred}, {120, 80, 1, 1024, 768, 2, ring, tiles},
      {1200, 900, 1, 1024, 768, 1, tiles, [&](int x, int y) { return tiles(x + 88, y + 66); }},
      {101, 300, 1, 1366, 200, 1, stripe(37), stripe(669)}, {101, 300, 1, 999, 200, 1, stripe(37), stripe(486)},
      {64, 48, 1, 1024, 768, 0, all, all}, {64, 48, 1, 1024, 768, 0, none, [](int, int y) { return y < 0; }},
      {64, 48, 1, 320, 200, 3, all, none}, {64, 48, 1, 320, 200, -1, all, none}, {64, 48, 1, 320, 200, 99, all, none}};
  for (auto [w, h, bits, width, height, layout, file, laid] : cases) {
    SCOPED_TRACE(testing::Message() << w << " x " << h << " x " << bits << " on " << width << ", layout " << layout);
    BmpImage image = Fresh();
    ASSERT_EQ(1, ReadAtPageEnd(MaskFile(w, h, file, bits), &image));
    ExpectLaid([&](MaskRegionKind k) { return UserMaskRegion(&image, nullptr, k, {width, height, layout, kAnyCount}); }, width, height, laid);
    FreeBmpImage(&image);
  }
}

TEST(SceneImages, MaskAndPictureFromTheSettings) {
  SetCurrentDirectoryA(Scratch("").c_str());
  Write(kBuiltinMaskName, MaskFile(16, 16, [](int, int) { return true; }));  // read only in other letter case
  Write("block", MaskFile(64, 48, [](int x, int y) { return x >= 16 && x < 48 && y >= 10 && y < 30; }));
  const std::string red = Write("red", BmpFile(100, 100, 24, 0, [](int, int) { return 0xFF0000; }));
  const std::string notFound = "Nivalo: File not found";
  const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN), x = W / 2 - 16, y = H / 2 - 14;
  auto paths = [](std::string m, std::string p, int l = 0) {  // mask, picture, layout
    return [=](SettingsRecord& s) { strcpy(s.MaskPath, &m[0]), strcpy(s.PicturePath, &p[0]), s.PictureLayout = l; };
  };
  auto block = [&](bool body) { return CreateRectRgn(x, y + (body ? 0 : 20), x + 32, y + (body ? 20 : 22)); };
  const std::tuple<SettingsEdit, Strings, int, HRGN, HRGN, uint32_t> cases[] = {{paths(kBuiltinMaskName, ""), {}, 0,
      BuiltinMaskRegion(GetModuleHandleA(0), kMaskBody, {W, H, 0, 20000}),
      BuiltinMaskRegion(GetModuleHandleA(0), kMaskEdge, {W, H, 0, 20000}), kGrey},  // body, edge; 0: none
      {paths("vavovoraze 2000 RARA", ""), {}, 1, CreateRectRgn(0, 0, W, H), CreateRectRgn(0, 0, 0, 0), kGrey},
      {paths("none", ""), {notFound + "\n\nMask file: none"}, 0, 0, 0, kGrey},
      {paths("block", "none", 1), {notFound + "\n\nPicture file: none"}, 0, block(true), block(false), kGrey},
      {paths("block", "", 1), {}, 1, block(true), block(false), kGrey},  // never painted: no picture set
      {paths("", ""), {}, 0, 0, 0, kGrey}, {paths("", red), {}, 1, 0, 0, 0xFF0000}};
  auto copy = [](HRGN r) { HRGN c = r ? CreateRectRgn(0, 0, 0, 0) : 0; return r && CombineRgn(c, r, 0, RGN_COPY), c; };
  auto& boxes = RecordMessageBoxes();
  for (size_t n = 0; n < std::size(cases); ++n) {
    auto& [edit, expected, loaded, body, edge, colour] = cases[n];
    HWND saver = StartSaver(edit);
    EXPECT_EQ(std::pair(expected, loaded), std::pair(Seen(boxes), PictureLoaded())) << n;
    EXPECT_TRUE(SameRegion(body, copy(MaskBodyRegion())) & SameRegion(edge, copy(MaskEdgeRegion()))) << n;
    EXPECT_EQ(colour, CaptureSaver(saver).At(W / 2, H / 2)) << n;
    if (colour != kGrey) {  // stretched behind the snow: what a flake leaves is painted again with the picture
      RunFrames(saver, 80);
      const Capture shot = CaptureSaver(saver);
      EXPECT_EQ(0, std::count(shot.pixels.begin(), shot.pixels.end(), kGrey));
      EXPECT_GT(W * H, std::count(shot.pixels.begin(), shot.pixels.end(), 0xFF0000u));
    }
    StopSaver(saver);
  }
  // The scene lays the mask within the stored rectangle budget: edge and body each say so.
  StopSaver(StartSaver([](SettingsRecord& s) { s.MaskMaxRects = 10; }));
  EXPECT_EQ(Strings(2, "Mask too complex: The mask requires more rectangles than you set in the settings"), Seen(boxes));
}

// An index table that cannot be made (the heap ran out) is told once for the
// picture: not for each kind of mask region, nor on every paint.
void* NoIndexTable(const BITMAPINFOHEADER*) { return nullptr; }

TEST(SceneImages, AnIndexTableThatCannotBeMadeIsToldOnce) {
  const std::string block = Write("block", MaskFile(64, 48, [](int x, int y) { return x >= 16 && y >= 10; }));
  SetIndexTableMaker(NoIndexTable);
  for (bool mask : {true, false}) {
    auto& boxes = RecordMessageBoxes();
    HWND saver = StartSaver([&](SettingsRecord& s) { strcpy(mask ? s.MaskPath : s.PicturePath, block.c_str()); });
    for (int paint = 0; paint < 2; ++paint) RedrawWindow(saver, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ASSERT_EQ(1u, boxes.size()) << mask;
    EXPECT_EQ("Can not create Indexed color table", boxes[0].text) << mask;
    StopSaver(saver);
  }
  SetIndexTableMaker(nullptr);
}

// Every file of the corpus, read right before a page without access, painted
// and compared with ImageMagick's decoding, and laid as a mask. Rightly refused:
// core headers, other compression than RLE, 64-bit pixels, broken files. The
// decoder scales channels of other than 5, 6 and 8 bits short of full, and
// misreads a 64-byte OS/2 header.
const std::string kRefused = " g/pal8os2 q/pal1huffmsb q/pal8os2-hs q/pal8os2-sz q/pal8os2sp q/rgb24jpeg q/rgb24png"
    " q/rgb24rle24 q/rgba64 b/badbitcount b/badbitssize b/badheadersize b/badpalettesize b/badplanes b/badrle"
    " b/badrle4 b/badrle4bis b/badrle4ter b/badrlebis b/badrleter b/badwidth b/reallybig b/rletopdown b/shortfile ";
const std::string kDecoderWrong = " q/pal8os2v2 q/rgb16-231 q/rgb16-3103 q/rgb32-7187 q/rgba16-1924 q/rgba16-4444"
    " q/rgba32-61754 ", kSameAsPal8 = " q/pal8offs q/pal8oversizepal q/pal8os2v2 q/pal8os2v2-16 q/pal8os2v2-40sz"
    " q/pal8os2v2-sz ";
bool In(const std::string& list, const std::string& file) { return list.find(" " + file + " ") != list.npos; }

void CheckFolder(const std::string& folder, size_t files) {
  auto& boxes = RecordMessageBoxes();
  const std::filesystem::path dir = NIVALO_BMPSUITE_DIR "/" + folder;
  EXPECT_EQ(files, std::distance(std::filesystem::directory_iterator(dir), {})) << folder;  // a clone holds them all
  for (auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string path = entry.path().string(), file = folder + "/" + entry.path().stem().string();
    BmpImage guarded = Fresh(), image = Fresh();
    const int atPageEnd = ReadAtPageEnd(ReadAll(path), &guarded), loaded = LoadBmpImage(0, path.c_str(), 0, &image);
    FreeBmpImage(&guarded);
    EXPECT_EQ(std::pair(!In(kRefused, file), !In(kRefused, file)), std::pair(atPageEnd == 1, loaded == 1)) << file;
    if (!loaded) continue;
    const BITMAPINFOHEADER& i = *image.info;  // converted into the plain layout
    EXPECT_TRUE(i.biSize == 40 && !i.biCompression && i.biHeight > 0 && (i.biBitCount == 24 || i.biClrUsed)) << file;
    Canvas c(PictureWidth(image.info), PictureHeight(image.info), kUntouched);
    c.Draw(&image, 1);
    auto off = [&](const std::string& reference) {  // channels off by more than 1
      const Bytes ref = ReadAll(NIVALO_BMPSUITE_REFS "/" + reference + ".rgb");
      int count = ref.size() == size_t(c.width) * c.height * 3 ? 0 : ref.empty() ? -1 : 1 << 30;
      for (size_t k = 0; count >= 0 && count < 1 << 30 && k < ref.size(); ++k)
        count += std::abs(int(c.At(k / 3 % c.width, k / 3 / c.width) >> (16 - k % 3 * 8) & 0xFF) - ref[k]) > 1;
      return count;
    };
    const int differing = off(folder + "-" + file.substr(2));
    EXPECT_TRUE(differing < 0 || In(kDecoderWrong, file) == (differing > 0)) << file << ": " << differing << " off";
    EXPECT_TRUE(!In(kSameAsPal8, file) || off("g-pal8") == 0) << file << " is not g/pal8";
    for (int k = 0; k < 6; ++k) {  // edge and body in every layout
      HRGN region = UserMaskRegion(&image, nullptr, MaskRegionKind(k % 2), {320, 200, k / 2, kAnyCount});
      EXPECT_TRUE(region && DeleteObject(region)) << file;
    }
    FreeBmpImage(&image);
  }
  EXPECT_EQ(Strings{}, Seen(boxes));
}

TEST(BmpSuite, GoodFiles) { CheckFolder("g", 27); }
TEST(BmpSuite, QuestionableFiles) { CheckFolder("q", 43); }
TEST(BmpSuite, BadFiles) { CheckFolder("b", 20); }

}  // namespace
