// The settings dialog's live preview in the shipped program, driven from
// outside as a user would, and seen on the screen around the dialog.
#include <gtest/gtest.h>

#include <functional>

#include "blackbox/blackbox_support.h"
#include "dialogs/live_preview.h"
#include "images/image_files.h"
#include "resources/resource.h"
#include "support/test_support.h"

namespace {

constexpr uint32_t kSky = 0x1E5AC8;  // the picture chosen: one colour

bool White(uint32_t p) { return p == 0xFFFFFF; }
bool Green(uint32_t p) {  // the fir trees
  const int r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return g > r + 30 && g > b + 30;
}
bool Grey(uint32_t p) { return p == kGrey; }
bool Sky(uint32_t p) { return p == kSky; }

class LivePreviewBlackBox : public WithoutStoredSettings {
 protected:
  HWND dialog = nullptr;
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);

  // How many pixels outside the dialog in the rows top..bottom pass.
  int Count(const Capture& shot, bool (*pass)(uint32_t), int top = 0, int bottom = 1 << 30) const {
    RECT around;
    GetWindowRect(dialog, &around);
    int n = 0;
    for (int y = top; y < std::min(bottom, shot.height); ++y)
      for (int x = 0; x < shot.width; ++x) n += !PtInRect(&around, POINT{x, y}) && pass(shot.At(x, y));
    return n;
  }
  // Whether the screen comes to show what is asked for, within 30 s.
  bool Shows(const std::function<bool(const Capture&)>& shows) { return shows(AwaitScreen(shows, 30000)); }
  void Type(int control, const char* text) {
    SendDlgItemMessageA(dialog, control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  void Click(int control) { SendDlgItemMessageA(dialog, control, BM_CLICK, 0, 0); }
};

TEST_F(LivePreviewBlackBox, ShowsTheSceneBehindTheDialogWithEveryChangeAndCancelForgets) {
  // A stored value with bytes of its own in the reserved stretches.
  StoreSettings([](SettingsRecord&) {});
  std::vector<uint8_t> stored = StoredSettingsValue();
  for (size_t i : {0x06Cu, 0x081u, 0x1F0u}) stored[i] = 0x5A;
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegSetValueExA(key, kSettingsValueName, 0, REG_BINARY, stored.data(), static_cast<DWORD>(stored.size()));
  RegCloseKey(key);
  const Bytes sky = BmpFile(8, 6, 24, 0, [](int, int) { return kSky; });
  const std::string picture = WriteTempFile("nivalo-sky.bmp", std::string(sky.begin(), sky.end()));

  Saver settings("/c");
  dialog = AwaitWindow(kDialogClass, kDialogTitle);
  ASSERT_NE(dialog, nullptr);
  Click(IDC_LIVE_PREVIEW);
  HWND live = FindWindowA(kLivePreviewClassName, nullptr);
  ASSERT_NE(live, nullptr);
  RECT r;
  GetWindowRect(live, &r);
  EXPECT_EQ(std::tuple(0L, 0L, long(width), long(height)), std::tuple(r.left, r.top, r.right, r.bottom));
  EXPECT_EQ(0, GetWindowLongA(live, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(dialog, GetForegroundWindow()) << "the dialog keeps the foreground";

  // The scene around the dialog: grey, snow and trees.
  ASSERT_TRUE(Shows([&](const Capture& c) {
    return Count(c, Grey) > width * height / 3 && Count(c, White) > 0 && Count(c, Green) > 0;
  }));
  EXPECT_EQ(dialog, GetForegroundWindow());

  // 500 flakes: most of the new ones start at the top.
  const int top = height / 4, flakesAt50 = Count(CaptureScreen(), White, 0, top);
  Type(IDC_FLAKE_COUNT, "500");
  Click(IDC_SLEIGH_IN_WIND);
  Click(IDC_SLEIGH_IN_WIND);
  EXPECT_TRUE(Shows([&](const Capture& c) { return Count(c, White, 0, top) > 4 * flakesAt50; })) << flakesAt50;

  Click(IDC_SCENERY_ON);
  EXPECT_TRUE(Shows([&](const Capture& c) { return Count(c, Green) == 0; })) << "trees off";

  // Snow piles up along the bottom, and goes with the ground switch.
  const int ground = height - 4;
  ASSERT_TRUE(Shows([&](const Capture& c) { return Count(c, White, ground) > width; }));
  Click(IDC_SNOW_ON_GROUND);
  EXPECT_TRUE(Shows([&](const Capture& c) { return Count(c, White, ground) < width / 10; })) << "ground snow off";

  // A chosen picture lies behind the snow.
  ASSERT_TRUE(ChooseFile(dialog, IDC_CHOOSE_PICTURE, picture));
  EXPECT_TRUE(Shows([&](const Capture& c) { return Count(c, Sky) > width * height / 3; })) << "the picture";

  // Pressed again, the scene goes.
  Click(IDC_LIVE_PREVIEW);
  EXPECT_EQ(nullptr, FindWindowA(kLivePreviewClassName, nullptr));
  EXPECT_TRUE(Shows([&](const Capture& c) { return Count(c, Sky) == 0; }));

  Click(IDC_LIVE_PREVIEW);
  ASSERT_NE(nullptr, FindWindowA(kLivePreviewClassName, nullptr));
  PostClick(dialog, IDCANCEL);
  EXPECT_EQ(0, settings.Exit());
  EXPECT_EQ(stored, StoredSettingsValue()) << "Cancel leaves the stored value as it was, byte for byte";
  DeleteFileA(picture.c_str());
}

}  // namespace
