// The help topics as the user meets them: the built Nivalohelp.hlp in the
// real help viewer, where the contents topic and every help context id of
// the settings dialog's table open the topic that the topics file gives
// them; and the same topics built into the program, in the dialog's own
// pop-up on a system of version 6 or later (as Wine reports by default).
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "dialogs/context_help.h"
#include "dialogs/help_popup.h"
#include "dialogs/settings_dialog.h"
#include "resources/resource.h"
#include "support/help_viewer.h"
#include "support/test_support.h"
#include "system/shell_state.h"

namespace {

struct Titles {
  std::string contents;
  std::map<DWORD, std::string> byId;
};

// The titles of the topics file's "== NAME IDS | Title" headers.
Titles ReadTitles() {
  Titles titles;
  std::ifstream file("Z:" NIVALO_TOPICS_UNIX_PATH);
  for (std::string line; std::getline(file, line);) {
    const size_t bar = line.find('|');
    if (line.compare(0, 2, "==") != 0 || bar == std::string::npos) continue;
    std::string title = line.substr(bar + 1);
    title.erase(0, title.find_first_not_of(' '));
    title.erase(title.find_last_not_of(" \r") + 1);
    std::istringstream words(line.substr(2, bar - 2));
    std::string word;
    words >> word;  // the topic's name
    while (words >> word) {
      if (word == "contents") {
        titles.contents = title;
      } else {
        titles.byId[std::stoul(word)] = title;
      }
    }
  }
  return titles;
}

// A few controls and the titles their users read: ids shifted or swapped in
// the table fail here.
TEST(HelpTable, ControlsOpenTheirOwnTopics) {
  const struct {
    int control;
    const char* title;
  } kChecks[] = {
      {IDOK, "OK"},
      {IDC_FLAKE_COUNT, "Number of flakes"},
      {IDC_FLAKE_WOBBLE, "Wobble"},
      {IDC_RED_NOSE, "Red nose"},
      {IDC_SLEIGH_LARGE_PICTURE, "Large sleigh"},
      {IDC_GUST_FALL_TIME_PICTURE, "Gust fall time"},
      {IDC_MASK_PATH, "Mask"},
      {IDC_WEB_PAGE, "WWW"},
  };
  const Titles titles = ReadTitles();
  for (const auto& c : kChecks) {
    const auto topic = titles.byId.find(HelpContextOf(c.control));
    EXPECT_EQ(c.title, topic == titles.byId.end() ? "(no topic)" : topic->second)
        << "control " << c.control;
  }
}

// The program's own copy of each topic starts with the title that the
// topics file gives the id; an id without a topic gets the contents.
TEST(HelpTable, EveryIdsTopicIsBuiltIntoTheProgram) {
  StartShell(GetModuleHandleA(nullptr));
  const Titles titles = ReadTitles();
  for (const auto& [id, title] : titles.byId) {
    EXPECT_EQ(title + "\r\n\r\n", HelpTopicText(id).substr(0, title.size() + 4)) << "help context " << id;
  }
  EXPECT_EQ(titles.contents + "\r\n\r\n", HelpTopicText(0).substr(0, titles.contents.size() + 4));
  EXPECT_EQ(HelpTopicText(0), HelpTopicText(99)) << "an id without a topic";
}

// The settings dialog, shown and active, whose help requests show pop-ups.
class HelpPopup : public testing::Test {
 protected:
  void SetUp() override {
    StartShell(GetModuleHandleA(nullptr));
    ASSERT_GE(Shell().majorVersion, 6u) << "Wine must report Windows Vista or later";
    Open();
  }
  void TearDown() override { DestroyWindow(dialog); }
  void Open() {
    dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                                SettingsDialogProc, 0);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
  }
  HWND Control(int id) { return GetDlgItem(dialog, id); }
  // F1 on the control (the key held while the request is handled), or
  // "What's this?" at the point.
  void AskHelp(int id, POINT mouse, bool f1) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_F1] = f1 ? 0x80 : 0;
    SetKeyboardState(keys);
    HELPINFO info{sizeof info, HELPINFO_WINDOW, id, Control(id), 0, mouse};
    SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    keys[VK_F1] = 0;
    SetKeyboardState(keys);
  }

  HWND dialog = nullptr;
};

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

std::string WindowText(HWND window) {
  char text[8192] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

TEST_F(HelpPopup, ShowsTheTopicWhereItWasAskedForAndAnyInputClosesIt) {
  enum Request { kF1, kWhatsThis, kRightClick, kMenuKey };
  enum Closing { kEscape, kAlt, kLeftClick, kRightClickOnIt, kDialogActivated };
  enum Side { kBelow, kAbove, kOnTheScreen };
  const struct {
    Request request;
    int control;
    Closing closing;
    Side side;
  } kCases[] = {
      {kF1, IDC_FLAKE_COUNT, kEscape, kBelow},
      {kF1, IDOK, kAlt, kAbove},
      {kWhatsThis, IDC_RED_NOSE, kLeftClick, kBelow},
      {kRightClick, IDC_WIND_PICTURE, kRightClickOnIt, kBelow},
      {kRightClick, IDC_FLAKE_COUNT_PICTURE, kDialogActivated, kBelow},  // disabled: the dialog hears it
      {kMenuKey, IDC_GUST_PAUSE, kEscape, kBelow},
      {kRightClick, IDC_TITLE_LINE, kEscape, kOnTheScreen},  // no help id: the long contents
  };
  // The dialog's bottom on the screen's.
  RECT frame;
  GetWindowRect(dialog, &frame);
  SetWindowPos(dialog, nullptr, frame.left, GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  const Titles titles = ReadTitles();
  for (const auto& c : kCases) {
    RECT rect;
    GetWindowRect(Control(c.control), &rect);
    const POINT point = Centre(rect);
    HWND window = c.control == IDC_FLAKE_COUNT_PICTURE ? dialog : Control(c.control);
    if (c.request == kF1 || c.request == kWhatsThis) {
      AskHelp(c.control, c.request == kF1 ? POINT{0, 0} : point, c.request == kF1);
    } else {
      const LPARAM at = c.request == kMenuKey ? MAKELPARAM(-1, -1) : MAKELPARAM(point.x, point.y);
      SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), at);
    }
    HWND popup = FindWindowA(kHelpPopupClass, nullptr);
    ASSERT_NE(nullptr, popup) << "control " << c.control;
    const DWORD context = HelpContextOf(c.control);
    const std::string title = context ? titles.byId.at(context) : titles.contents;
    EXPECT_EQ(HelpTopicText(context), WindowText(popup)) << "control " << c.control;
    EXPECT_EQ(0u, WindowText(popup).find(title + "\r\n")) << "control " << c.control;
    EXPECT_EQ(popup, GetActiveWindow()) << "control " << c.control;
    EXPECT_EQ(dialog, GetWindow(popup, GW_OWNER));

    // Below the control or the point, or above it, from its left edge or
    // as near as the screen allows.
    RECT place;
    GetWindowRect(popup, &place);
    const bool fromKeyboard = c.request == kF1 || c.request == kMenuKey;
    const RECT anchor = fromKeyboard ? rect : RECT{point.x, point.y, point.x, point.y};
    if (c.side != kOnTheScreen) {
      EXPECT_EQ(c.side == kAbove ? anchor.top : anchor.bottom, c.side == kAbove ? place.bottom : place.top)
          << "control " << c.control;
    }
    EXPECT_TRUE(place.left == anchor.left || place.right == GetSystemMetrics(SM_CXSCREEN))
        << "control " << c.control << ": the pop-up's left " << place.left;
    EXPECT_TRUE(place.top >= 0 && place.bottom <= GetSystemMetrics(SM_CYSCREEN)) << "control " << c.control;

    switch (c.closing) {
      case kEscape: SendMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0); break;
      case kAlt: SendMessageA(popup, WM_SYSKEYDOWN, VK_MENU, 0); break;
      case kLeftClick:
        SendMessageA(popup, WM_LBUTTONUP, 0, 0);  // the button of "What's this?" going up
        ASSERT_TRUE(IsWindow(popup));
        SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageA(popup, WM_LBUTTONUP, 0, 0);
        break;
      case kRightClickOnIt:
        SendMessageA(popup, WM_RBUTTONDOWN, MK_RBUTTON, 0);
        SendMessageA(popup, WM_RBUTTONUP, 0, 0);
        break;
      case kDialogActivated: SetActiveWindow(dialog); break;
    }
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&m);
    EXPECT_FALSE(IsWindow(popup)) << "control " << c.control << ", closing " << c.closing;
    EXPECT_EQ(dialog, GetActiveWindow()) << "the dialog goes on";
  }
}

// Whatever is open when the dialog closes goes with it, the pop-up's font
// too: three more dialogs, each with a pop-up, leave no more GDI objects
// than two did (the system makes some of its own on first use).
TEST_F(HelpPopup, LeavesNoWindowAndNoGdiObjectWhenTheDialogCloses) {
  int places = 0;
  for (int i = 0; i < 5; ++i) {
    if (i > 0) Open();
    AskHelp(IDC_FLAKE_COUNT, POINT{0, 0}, true);
    HWND popup = FindWindowA(kHelpPopupClass, nullptr);
    ASSERT_NE(nullptr, popup);
    UpdateWindow(popup);
    DestroyWindow(dialog);
    EXPECT_FALSE(IsWindow(popup));
    if (i == 1) places = FreeGdiPlaces();
  }
  EXPECT_EQ(places, FreeGdiPlaces());
}

struct HelpCall {
  HWND owner;
  std::string file;
  UINT command;
  DWORD id;
};

DWORD WINAPI CallHelp(void* argument) {
  auto* call = static_cast<HelpCall*>(argument);
  WinHelpA(call->owner, call->file.c_str(), call->command, call->id);
  return 0;
}

class HelpViewer : public testing::Test {
 protected:
  void TearDown() override {
    EXPECT_TRUE(QuitViewer(path)) << "the viewer did not quit";
    DestroyWindow(owner);
  }

  // The help call runs on a worker thread, as the viewer holds it while it
  // shows a box, and AwaitTopic answers the box.
  ::testing::AssertionResult Open(UINT command, DWORD id, const std::string& title) {
    HelpCall call{owner, path, command, id};
    HANDLE thread = CreateThread(nullptr, 0, CallHelp, &call, 0, nullptr);
    ::testing::AssertionResult shown = AwaitTopic(title);
    if (WaitForSingleObject(thread, 10000) == WAIT_TIMEOUT) {
      TerminateThread(thread, 0);
      shown = ::testing::AssertionFailure() << "WinHelpA did not return";
    }
    CloseHandle(thread);
    return shown << " (help context " << id << ")";
  }

  HWND owner = CreateWindowA("STATIC", "help test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             nullptr, nullptr);
  std::string path = WindowsPath(NIVALO_HLP_UNIX_PATH);
};

TEST_F(HelpViewer, ContentsAndEveryIdOfTheHelpTableOpenTheirTopics) {
  const Titles titles = ReadTitles();
  ASSERT_FALSE(titles.contents.empty()) << "no contents topic in " NIVALO_TOPICS_UNIX_PATH;
  ::testing::AssertionResult contents = Open(HELP_CONTENTS, 0, titles.contents);
  // Wine sometimes refuses the first help call in a new prefix.
  if (!contents) contents = Open(HELP_CONTENTS, 0, titles.contents);
  ASSERT_TRUE(contents);

  std::string previous = titles.contents;
  int wrong = 0;
  for (size_t i = 0; kHelpTable[i] != 0; i += 2) {
    const auto topic = titles.byId.find(kHelpTable[i + 1]);
    if (topic == titles.byId.end()) {
      ADD_FAILURE() << "control " << kHelpTable[i] << ": help context " << kHelpTable[i + 1]
                    << " has no topic";
      continue;
    }
    // The same topic twice in a row would leave the text as it was.
    if (topic->second == previous) {
      ASSERT_TRUE(Open(HELP_CONTENTS, 0, titles.contents));
    }
    const ::testing::AssertionResult shown = Open(HELP_CONTEXT, kHelpTable[i + 1], topic->second);
    EXPECT_TRUE(shown) << "control " << kHelpTable[i];
    wrong += !shown;
    ASSERT_LT(wrong, 3) << "the sweep stops here";
    previous = topic->second;
  }
}

}  // namespace
