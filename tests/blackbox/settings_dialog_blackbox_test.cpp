// The settings dialog of the shipped program, driven from outside through
// its controls as a user would, and what the next full-screen run shows.
#include <gtest/gtest.h>

#include "blackbox/blackbox_support.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace {

class SettingsBlackBox : public WithoutStoredSettings {};

TEST_F(SettingsBlackBox, ChangesMadeInTheDialogAndOkAreWhatTheNextRunShows) {
  Saver settings("/c");
  HWND dialog = AwaitWindow(kDialogClass, kDialogTitle);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SCENERY_ON, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_FLAKE_COUNT)), "50");

  // No flakes, the trees switched off at their box, the sleigh at its
  // picture.
  SendDlgItemMessageA(dialog, IDC_FLAKE_COUNT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0"));
  SendDlgItemMessageA(dialog, IDC_SCENERY_ON, BM_CLICK, 0, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SLEIGH_PICTURE, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_SLEIGH_PICTURE)));
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SLEIGH_ON, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(StoredSettingsValue().empty());
  PostClick(dialog, IDOK);
  ASSERT_EQ(settings.Exit(), 0);

  const SettingsRecord s = StoredRecord();  // the wind and the sleigh's kind as they were
  EXPECT_EQ(std::tuple(0, 0, 0, 1, 2), std::tuple(s.FlakeCount, s.SceneryOn, s.SleighOn, s.WindOn, s.SleighKind));

  // The saver shows nothing but its grey: once it shows, no flake, tree or
  // sleigh appears in its next second (twenty frames; trees and sleigh come
  // in the first).
  Saver saver("/s");
  ASSERT_NE(AwaitWindow(kSaverClass, "Screen Saver"), nullptr);
  ASSERT_TRUE(AwaitGreyScreen());
  const Capture shown = AwaitScreen([](const Capture& c) { return c.pixels != std::vector(c.pixels.size(), 0x808080u); }, 1000);
  EXPECT_EQ(0, std::count_if(shown.pixels.begin(), shown.pixels.end(), [](uint32_t p) { return p != 0x808080; }));
  PressKey(VK_SPACE);
  EXPECT_EQ(saver.Exit(), 0);
}

TEST_F(SettingsBlackBox, AFileChosenInTheSystemsDialogThatIsNoBmpIsReportedAndKept) {
  const std::string path = WriteTempFile("nivalo-letter.txt", "Dear Santa");

  Saver settings("/c");
  HWND dialog = AwaitWindow(kDialogClass, kDialogTitle);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(ChooseFile(dialog, IDC_CHOOSE_PICTURE, path));

  HWND box = AwaitWindow(kDialogClass, "BMP format error");
  ASSERT_NE(box, nullptr);
  PostClick(box, IDOK);
  Await([box] { return !IsWindow(box); });
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_PICTURE_PATH)), path);

  PostClick(dialog, IDCANCEL);
  EXPECT_EQ(settings.Exit(), 0);
  EXPECT_TRUE(StoredSettingsValue().empty());
  DeleteFileA(path.c_str());
}

}  // namespace
