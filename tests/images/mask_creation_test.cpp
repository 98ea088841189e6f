#include <gtest/gtest.h>

#include <cstring>

#include "images/bmp_files.h"
#include "images/mask_region.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "support/test_support.h"

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);

Bytes MonoMask(int w, int h, const std::function<bool(int, int)>& black) {
  BmpParts p;
  p.width = w;
  p.height = h;
  p.bitCount = 1;
  p.table = {0x000000, 0xFFFFFF};
  p.pixels = PackRows(w, h, 1, [&](int x, int y) { return black(x, y) ? 0u : 1u; });
  return BmpFile(p);
}

Bytes RedPicture() {
  BmpParts p;
  p.width = 100;
  p.height = 100;
  p.bitCount = 24;
  p.pixels = PackRows(100, 100, 24, [](int, int) { return 0xFF0000u; });
  return BmpFile(p);
}

class MaskCreation : public testing::Test {
 protected:
  void SetUp() override {
    ClearStoredSettings();
    boxes = &RecordMessageBoxes();
    SetCurrentDirectoryA(ScratchDir().c_str());
  }
  void TearDown() override {
    if (saver) DestroyWindow(saver);
    DropPendingMessages();
    ClearStoredSettings();
  }
  void Start(const std::function<void(SettingsRecord&)>& edit) {
    StoreSettings(edit);
    saver = CreateSaverWindow();
    ASSERT_NE(nullptr, saver);
  }
  // As the snow wipes things: the erase message comes from the paint.
  void Repaint() {
    InvalidateRect(saver, nullptr, TRUE);
    UpdateWindow(saver);
  }
  std::vector<SeenMessageBox>* boxes = nullptr;
  HWND saver = nullptr;
};

void SetPath(char* field, const std::string& path) {
  strncpy(field, path.c_str(), 255);
  field[255] = 0;
}

bool SameRegion(HRGN a, HRGN b) { return a && b && EqualRgn(a, b); }

TEST_F(MaskCreation, EmptyMaskPathBuildsNoMask) {
  Start([](SettingsRecord& s) {
    s.MaskPath[0] = 0;
    s.PicturePath[0] = 0;
  });
  EXPECT_EQ(nullptr, MaskEdgeRegion());
  EXPECT_EQ(nullptr, MaskBodyRegion());
  EXPECT_EQ(0, PictureLoaded());
  EXPECT_TRUE(boxes->empty());
  Repaint();
  EXPECT_EQ(kGrey, PixelAt(saver, 512, 384));
}

TEST_F(MaskCreation, BuiltinNameOpensNoFile) {
  // A file of that very name, held open without sharing: any attempt to
  // read it would fail with a message.
  const std::string path = WriteScratchFile(kBuiltinMaskName, MonoMask(16, 16, [](int, int) { return true; }));
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  Start([](SettingsRecord&) {});  // the stored defaults: built-in mask, stretched
  CloseHandle(held);
  EXPECT_TRUE(boxes->empty());
  EXPECT_EQ(0, PictureLoaded());
  const SceneState& scene = Scene();
  HRGN body = BuiltinMaskRegion(kMaskBody, scene.screenWidth, scene.screenHeight, 0);
  HRGN edge = BuiltinMaskRegion(kMaskEdge, scene.screenWidth, scene.screenHeight, 0);
  EXPECT_TRUE(SameRegion(body, MaskBodyRegion()));
  EXPECT_TRUE(SameRegion(edge, MaskEdgeRegion()));
  RECT box;
  ASSERT_EQ(COMPLEXREGION, GetRgnBox(MaskBodyRegion(), &box));
  EXPECT_LT(box.left, scene.screenWidth / 4);
  EXPECT_GT(box.right, scene.screenWidth * 3 / 4);
  DeleteObject(body);
  DeleteObject(edge);
}

TEST_F(MaskCreation, BuiltinNameInOtherCaseIsAFileName) {
  WriteScratchFile(kBuiltinMaskName, MonoMask(16, 16, [](int, int) { return true; }));
  Start([](SettingsRecord& s) { strcpy(s.MaskPath, "vavovoraze 2000 RARA"); });
  EXPECT_TRUE(boxes->empty());
  EXPECT_EQ(1, PictureLoaded());
  const SceneState& scene = Scene();
  HRGN full = CreateRectRgn(0, 0, scene.screenWidth, scene.screenHeight);
  EXPECT_TRUE(SameRegion(full, MaskBodyRegion()));  // the all-black file, stretched
  RECT box;
  EXPECT_EQ(NULLREGION, GetRgnBox(MaskEdgeRegion(), &box));
  DeleteObject(full);
}

TEST_F(MaskCreation, BuiltinNameInOtherCaseWithoutAFileFails) {
  DeleteFileA(ScratchPath(kBuiltinMaskName).c_str());
  Start([](SettingsRecord& s) { strcpy(s.MaskPath, "VAVOVORAZE 2000 RARA"); });
  ASSERT_EQ(2u, boxes->size());
  EXPECT_EQ("File not found", (*boxes)[0].text);
  EXPECT_EQ("Sorry, could not read the mask file (format error?)", (*boxes)[1].text);
  EXPECT_EQ("BMP format error", (*boxes)[1].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK), (*boxes)[1].type);
  EXPECT_EQ(nullptr, (*boxes)[1].owner);
  EXPECT_EQ(nullptr, MaskBodyRegion());
  EXPECT_EQ(nullptr, MaskEdgeRegion());
  EXPECT_EQ(0, PictureLoaded());
}

TEST_F(MaskCreation, MaskThatIsNoBmpGivesOnlyTheFormatError) {
  const std::string path = WriteScratchFile("text.bmp", Bytes{'h', 'e', 'l', 'l', 'o', '\n'});
  Start([&](SettingsRecord& s) { SetPath(s.MaskPath, path); });
  ASSERT_EQ(1u, boxes->size());
  EXPECT_EQ("Sorry, could not read the mask file (format error?)", (*boxes)[0].text);
  EXPECT_EQ(nullptr, MaskBodyRegion());
}

TEST_F(MaskCreation, MaskLoadsAndPictureFails) {
  const std::string mask = WriteScratchFile("mask.bmp", MonoMask(64, 48, [](int x, int y) {
    return x >= 16 && x < 48 && y >= 10 && y < 30;
  }));
  Start([&](SettingsRecord& s) {
    SetPath(s.MaskPath, mask);
    SetPath(s.PicturePath, ScratchPath("missing.bmp"));
    s.PictureLayout = 1;
  });
  ASSERT_EQ(2u, boxes->size());
  EXPECT_EQ("File not found", (*boxes)[0].text);
  EXPECT_EQ("Sorry, could not read the file (format error?)", (*boxes)[1].text);
  EXPECT_EQ("BMP format error", (*boxes)[1].caption);
  EXPECT_EQ(0, PictureLoaded());
  const SceneState& scene = Scene();
  const int cx = (scene.screenWidth - 64) / 2, cy = (scene.screenHeight - 48) / 2;
  HRGN body = CreateRectRgn(cx + 16, cy + 10, cx + 48, cy + 30);
  HRGN edge = CreateRectRgn(cx + 16, cy + 30, cx + 48, cy + 32);
  EXPECT_TRUE(SameRegion(body, MaskBodyRegion()));
  EXPECT_TRUE(SameRegion(edge, MaskEdgeRegion()));
  Repaint();
  EXPECT_EQ(kGrey, PixelAt(saver, scene.screenWidth / 2, scene.screenHeight / 2));
  DeleteObject(body);
  DeleteObject(edge);
}

TEST_F(MaskCreation, PictureIsPaintedBehind) {
  const std::string picture = WriteScratchFile("red.bmp", RedPicture());
  Start([&](SettingsRecord& s) {
    s.MaskPath[0] = 0;
    SetPath(s.PicturePath, picture);
    s.PictureLayout = 1;
  });
  EXPECT_TRUE(boxes->empty());
  EXPECT_EQ(1, PictureLoaded());
  Repaint();
  const SceneState& scene = Scene();
  EXPECT_EQ(RGB(255, 0, 0), PixelAt(saver, scene.screenWidth / 2, scene.screenHeight / 2));
  EXPECT_EQ(kGrey, PixelAt(saver, scene.screenWidth / 2 - 51, scene.screenHeight / 2));
}

TEST_F(MaskCreation, MaskFileWithoutPicturePathIsNeverPainted) {
  const std::string mask = WriteScratchFile("redmask.bmp", RedPicture());
  Start([&](SettingsRecord& s) {
    SetPath(s.MaskPath, mask);
    s.PicturePath[0] = 0;
    s.PictureLayout = 1;
  });
  EXPECT_EQ(1, PictureLoaded());
  Repaint();
  const SceneState& scene = Scene();
  EXPECT_EQ(kGrey, PixelAt(saver, scene.screenWidth / 2, scene.screenHeight / 2));
}

TEST_F(MaskCreation, TooComplexMaskSaysSoForBothRegions) {
  Start([](SettingsRecord& s) { s.MaskMaxRects = 10; });
  ASSERT_EQ(2u, boxes->size());
  EXPECT_EQ("Mask too complex", (*boxes)[0].caption);
  EXPECT_EQ("Mask too complex", (*boxes)[1].caption);
  EXPECT_NE(nullptr, MaskBodyRegion());
  EXPECT_NE(nullptr, MaskEdgeRegion());
}

}  // namespace
