// The shipped saver as the system starts it: a separate process, real input.
#include <gtest/gtest.h>

#include "blackbox/blackbox_support.h"
#include "support/test_support.h"

namespace {

class BlackBox : public testing::Test {
 protected:
  void SetUp() override {
    // A quiet scene: the grey background alone.
    StoreSettings([](SettingsRecord& s) { s.FlakeCount = s.SleighOn = s.SceneryOn = 0, s.MaskPath[0] = 0; });
    SetCursorPos(500, 400);
  }
  void TearDown() override { ClearStoredSettings(); }
};

TEST_F(BlackBox, FullScreenCoversTheScreenRunsOnceAndEndsOnInput) {
  Saver saver("/s");
  ASSERT_TRUE(saver.started);
  HWND w = FindWindowA(kSaverClass, "Screen Saver");
  ASSERT_NE(nullptr, w);
  EXPECT_TRUE(IsWindowVisible(w) && (GetWindowLongA(w, GWL_STYLE) & WS_POPUP) &&
              (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST)) << "a visible topmost pop-up";
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(std::tuple(0L, 0L, 1024L, 768L), std::tuple(r.left, r.top, r.right, r.bottom));
  EXPECT_TRUE(AwaitGreyScreen());

  Saver second("/s");
  EXPECT_EQ(0, second.Exit()) << "a second start only brings the first forward";
  EXPECT_EQ(1, CountSaverWindows());

  MoveMouseTo(503, 401);  // 4 pixels of travel
  EXPECT_EQ(-2, saver.Exit(700)) << "a move of 4 pixels must not end the saver";
  MoveMouseTo(504, 401);  // 5 pixels from where it started
  EXPECT_EQ(0, saver.Exit());

  Saver third("/s");
  PressKey(VK_SPACE);
  EXPECT_EQ(0, third.Exit()) << "a key ends it";
}

// Started by the system, nobody may be there: a picture that cannot be read,
// a mask that is gone and a mask too detailed bring no box that waits, and
// the saver runs on at once without them, full screen and as a preview.
TEST_F(BlackBox, NothingWaitsOnAMessageBoxAtTheStart) {
  const std::string empty = WriteTempFile("nivalo-empty.bmp", "");
  HWND parent = DisplayProperties();
  const struct { const char* picture; const char* mask; int maxRects; } kStarts[] = {
      {empty.c_str(), "", 20000}, {"", "C:\\gone\\mask.bmp", 20000}, {"", kBuiltinMaskName, 1}};
  for (const auto& start : kStarts) {
    StoreSettings([&](SettingsRecord& s) {
      s.FlakeCount = 0, lstrcpyA(s.PicturePath, start.picture), lstrcpyA(s.MaskPath, start.mask), s.MaskMaxRects = start.maxRects;
    });
    for (bool preview : {false, true}) {
      Saver saver(preview ? "/p " + std::to_string(reinterpret_cast<uintptr_t>(parent)) : "/s");  // until it idles
      const HWND box = FindWindowA(kDialogClass, nullptr);
      EXPECT_FALSE(box && IsWindowVisible(box)) << start.picture << start.mask << (preview ? " in /p" : " in /s");
      EXPECT_TRUE(preview ? FindWindowExA(parent, nullptr, kSaverClass, "Preview") : FindWindowA(kSaverClass, "Screen Saver"));
      if (!preview) PressKey(VK_SPACE);
      EXPECT_EQ(preview ? -2 : 0, saver.Exit(preview ? 0 : 10000)) << "it ends on input alone";
    }
  }
  DestroyWindow(parent);
  DeleteFileA(empty.c_str());
}

TEST_F(BlackBox, PreviewDrawsIntoTheParentIgnoresInputAndEndsWithIt) {
  HWND parent = DisplayProperties();
  Saver saver("/p " + std::to_string(reinterpret_cast<uintptr_t>(parent)));
  HWND child = FindWindowExA(parent, nullptr, kSaverClass, "Preview");
  ASSERT_NE(nullptr, child);
  RECT pc, cc;
  GetClientRect(parent, &pc);
  GetClientRect(child, &cc);
  EXPECT_EQ(std::pair(pc.right, pc.bottom), std::pair(cc.right, cc.bottom));
  EXPECT_EQ(0, CountSaverWindows()) << "no top-level saver window";
  PostMessageA(child, WM_KEYDOWN, VK_SPACE, 0);
  PostMessageA(child, WM_LBUTTONDOWN, 0, 0);
  // Posted messages are handled in turn: a WM_SETREDRAW that hides the window
  // comes after the input, a second after what the input posted (a close).
  for (bool visible : {false, true}) {
    PostMessageA(child, WM_SETREDRAW, visible, 0);
    Await([&] { return !IsWindow(child) || (IsWindowVisible(child) != FALSE) == visible; });
  }
  EXPECT_TRUE(IsWindowVisible(child)) << "a preview ignores input";
  DestroyWindow(parent);
  EXPECT_EQ(0, saver.Exit());
}

}  // namespace
