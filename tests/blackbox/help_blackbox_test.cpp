// Help in the shipped program's settings dialog, with real key presses and
// clicks. On Windows XP (as Wine is told to report to it) the help viewer
// shows the focused control's topic from the Nivalohelp.hlp the build puts
// beside Nivalo.scr, and a copy of the program without the help file goes
// on working. On version 6 and later (Wine's default) the program shows the
// topic in a pop-up of its own.
#include <gtest/gtest.h>

#include "blackbox/blackbox_support.h"
#include "dialogs/help_popup.h"
#include "resources/resource.h"
#include "support/help_viewer.h"
#include "support/test_support.h"

namespace {

// The help file beside the shipped Nivalo.scr.
std::string ShippedHelpFile() {
  const std::string program = SaverPath();
  return program.substr(0, program.rfind('\\') + 1) + "Nivalohelp.hlp";
}

// Brings the dialog forward and moves the focus to the control, as a Tab
// press would; true once the dialog is the foreground window and its thread
// reports the focus there. The viewer, another process, may take the
// foreground a moment after it shows a topic: this tries for up to 2 s.
bool FocusControl(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return Await([&] {
    SetForegroundWindow(dialog);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    return control && GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) &&
           info.hwndFocus == control && GetForegroundWindow() == dialog;
  }, 2000);
}

// Tells Wine which Windows to report to Nivalo.scr: "winxp", or null for
// its default.
void ReportVersion(const char* version) {
  const char kKey[] = "Software\\Wine\\AppDefaults\\Nivalo.scr";
  HKEY key;
  if (!version) RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
  else if (!RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr))
    RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)version, DWORD(strlen(version) + 1)), RegCloseKey(key);
}

class HelpBlackBox : public testing::Test {
 protected:
  void SetUp() override {
    ReportVersion("winxp");
    QuitViewer(ShippedHelpFile());
  }
  void TearDown() override {
    EXPECT_TRUE(QuitViewer(ShippedHelpFile())) << "the viewer is still open";
    ReportVersion(nullptr);
  }
};

TEST_F(HelpBlackBox, F1ShowsTheFocusedControlsTopicFromTheFileBesideTheProgram) {
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ShippedHelpFile().c_str()))
      << "no help file beside " << SaverPath();
  ASSERT_TRUE(StartViewer());
  Saver saver("/c");
  HWND dialog = AwaitWindow(kDialogClass, kDialogTitle);
  ASSERT_NE(nullptr, dialog);
  // Titles that differ one to the next: a topic left from the previous key
  // cannot pass for the next.
  const struct { int control; const char* title; } kControls[] = {
      {IDC_FLAKE_COUNT, "Number of flakes"}, {IDC_SNOWFALL_ON, "Snowfall"}, {IDOK, "OK"}};
  for (const auto& c : kControls) {
    ASSERT_TRUE(FocusControl(dialog, c.control)) << "no focus on control " << c.control;
    PressKey(VK_F1);
    ASSERT_TRUE(AwaitTopic(c.title, kDialogTitle)) << "F1 on control " << c.control;
  }
  ASSERT_TRUE(QuitViewer(ShippedHelpFile()));
  ASSERT_TRUE(FocusControl(dialog, IDC_FLAKE_COUNT));
  PressKey(VK_ESCAPE);
  EXPECT_EQ(0, saver.Exit());
}

// A copy of Nivalo.scr in a folder without Nivalohelp.hlp: a dialog held up
// by a help call (the viewer asks with a modal box where the file is) never
// reads the digit typed after F1.
TEST_F(HelpBlackBox, F1WithoutTheHelpFileLeavesTheDialogWorking) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "nivalo-without-help\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  DeleteFileA((folder + "Nivalohelp.hlp").c_str());
  ASSERT_TRUE(CopyFileA(SaverPath().c_str(), (folder + "Nivalo.scr").c_str(), FALSE));
  {
    Saver saver("/c", folder + "Nivalo.scr");  // the dialog shown, not only made
    HWND dialog = AwaitWindow(kDialogClass, kDialogTitle);
    ASSERT_TRUE(dialog && FocusControl(dialog, IDC_FLAKE_COUNT)) << "no dialog, or its flake count not focused";
    PressKey(VK_F1);
    PressKey('7');
    std::string text;
    ForeignBox box;
    Await([&] {
      box = FindForeignBox(kDialogTitle), text = WindowText(GetDlgItem(dialog, IDC_FLAKE_COUNT));
      return text == "7" || box.window;
    }, 5000);
    if (box.window) Dismiss(box);
    EXPECT_EQ(nullptr, box.window) << "F1 brought a box that holds the dialog: " << box.text;
    EXPECT_EQ("7", text) << "the key after F1 did not arrive";
    EXPECT_TRUE(FocusControl(dialog, IDC_FLAKE_COUNT));
    PressKey(VK_ESCAPE);
    EXPECT_EQ(0, saver.Exit()) << "Escape did not end the dialog";
  }
  DeleteFileA((folder + "Nivalo.scr").c_str());
  RemoveDirectoryA(folder.c_str());
}

// Wine has no "What's this?" mode (no button in the caption, and the
// system command does nothing), so that request is left to the dialog's
// own tests.
TEST(HelpPopupBlackBox, F1AndARightClickShowTheControlsTopicInAPopUp) {
  ReportVersion(nullptr);
  Saver saver("/c");
  HWND dialog = AwaitWindow(kDialogClass, kDialogTitle);
  ASSERT_NE(nullptr, dialog);
  // Titles that differ one to the next: a pop-up left from the previous
  // request cannot pass for the next.
  const struct { bool f1; int control; const char* title; } kRequests[] = {
      {true, IDC_FLAKE_COUNT, "Number of flakes"}, {true, IDC_SNOWFALL_ON, "Snowfall"}, {false, IDC_WIND_PICTURE, "Wind"}};
  for (const auto& r : kRequests) {
    RECT control, shown;
    GetWindowRect(GetDlgItem(dialog, r.control), &control);
    const POINT centre{(control.left + control.right) / 2, (control.top + control.bottom) / 2};
    if (r.f1) {
      ASSERT_TRUE(FocusControl(dialog, r.control)) << r.title;
      PressKey(VK_F1);
    } else {
      SetForegroundWindow(dialog);
      MoveMouseTo(centre.x, centre.y);
      RightClick();
    }
    HWND popup = AwaitWindow(kHelpPopupClass, nullptr);
    ASSERT_NE(nullptr, popup) << "no pop-up for " << r.title;
    EXPECT_EQ(0u, WindowText(popup).find(std::string(r.title) + "\r\n\r\n")) << WindowText(popup);
    GetWindowRect(popup, &shown);
    EXPECT_EQ(r.f1 ? control.bottom : centre.y, shown.top) << r.title;
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(Await([popup] { return !IsWindow(popup); })) << "Escape left the pop-up of " << r.title;
  }
  ASSERT_TRUE(FocusControl(dialog, IDC_FLAKE_COUNT)) << "the dialog goes on";
  PressKey(VK_ESCAPE);
  EXPECT_EQ(0, saver.Exit());
}

}  // namespace
