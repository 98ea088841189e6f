// The help topics as the user meets them: the built Nivalohelp.hlp in the
// real help viewer, where the contents topic and every help context id of
// the settings dialog's table open the same topic as the program's own copy
// shows in the dialog's pop-up on a system of version 6 or later (as Wine
// reports by default).
#include <gtest/gtest.h>

#include "dialogs/about_dialog.h"
#include "dialogs/context_help.h"
#include "dialogs/help_popup.h"
#include "dialogs/settings_dialog.h"
#include "resources/resource.h"
#include "support/help_viewer.h"
#include "support/test_support.h"
#include "system/optional_calls.h"
#include "system/process_state.h"

namespace {

// The title of the program's own topic for a help context id. The viewer
// shows the same for every id; the settings dialog's tests hold the table of
// ids, and the help file's test the titles of the ids in the help file.
std::string Title(DWORD id) {
  const std::string text = HelpTopicText(id);
  return text.substr(0, text.find("\r\n\r\n"));
}

// The F1 key held, or let go, as while the system hands on a request.
void HoldF1(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_F1] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

// The settings dialog, shown and active, whose help requests show pop-ups.
class HelpPopup : public testing::Test {
 protected:
  void SetUp() override {
    InitProcessState(GetModuleHandleA(nullptr));
    ASSERT_GE(Process().majorVersion, 6u) << "Wine must report Windows Vista or later";
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
    HoldF1(f1);
    HELPINFO info{sizeof info, HELPINFO_WINDOW, id, Control(id), 0, mouse};
    SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    HoldF1(false);
  }

  HWND dialog = nullptr;
};

TEST_F(HelpPopup, ShowsTheTopicWhereItWasAskedForAndAnyInputClosesIt) {
  enum Request { kF1, kWhatsThis, kRightClick, kMenuKey };
  enum Closing { kEscape, kAlt, kLeftClick, kRightClickOnIt, kDialogActivated };
  enum Side { kBelow, kAbove, kOnTheScreen };
  const struct { Request request; int control; Closing closing; Side side; } kCases[] = {
      {kF1, IDC_FLAKE_COUNT, kEscape, kBelow}, {kF1, IDOK, kAlt, kAbove},
      {kWhatsThis, IDC_RED_NOSE, kLeftClick, kBelow}, {kRightClick, IDC_WIND_PICTURE, kRightClickOnIt, kBelow},
      {kRightClick, IDC_FLAKE_COUNT_PICTURE, kDialogActivated, kBelow},  // disabled: the dialog hears it
      {kMenuKey, IDC_GUST_PAUSE, kEscape, kBelow},
      {kRightClick, IDC_TITLE_LINE, kEscape, kOnTheScreen},  // no help id: the long contents
  };
  // What closes the pop-up: these messages to it in turn (none but the last
  // closes it: not the repeats of a held F1, not Alt before it goes up, not
  // the first button up, that of "What's this?"), or else the dialog activated.
  const LPARAM kRepeat = 1 << 30;
  const std::vector<std::tuple<UINT, WPARAM, LPARAM>> kSent[] = {
      {{WM_KEYDOWN, VK_F1, kRepeat}, {WM_KEYDOWN, VK_ESCAPE, 0}}, {{WM_SYSKEYDOWN, VK_MENU, 0}, {WM_SYSKEYUP, VK_MENU, 0}},
      {{WM_LBUTTONUP, 0, 0}, {WM_LBUTTONDOWN, MK_LBUTTON, 0}, {WM_LBUTTONUP, 0, 0}},
      {{WM_RBUTTONDOWN, MK_RBUTTON, 0}, {WM_RBUTTONUP, 0, 0}}, {}};
  // The dialog's bottom on the screen's.
  RECT frame;
  GetWindowRect(dialog, &frame);
  SetWindowPos(dialog, nullptr, frame.left, GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  for (const auto& c : kCases) {
    RECT rect;
    GetWindowRect(Control(c.control), &rect);
    const POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    HWND window = c.control == IDC_FLAKE_COUNT_PICTURE ? dialog : Control(c.control);
    if (c.request == kF1 || c.request == kWhatsThis) {
      AskHelp(c.control, c.request == kF1 ? POINT{0, 0} : point, c.request == kF1);
    } else {
      const LPARAM at = c.request == kMenuKey ? MAKELPARAM(-1, -1) : MAKELPARAM(point.x, point.y);
      SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), at);
    }
    HWND popup = FindWindowA(kHelpPopupClass, nullptr);
    ASSERT_NE(nullptr, popup) << "control " << c.control;
    EXPECT_EQ(HelpTopicText(HelpContextOf(c.control)), WindowText(popup)) << "control " << c.control;
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

    for (const auto& [message, wParam, lParam] : kSent[c.closing]) {
      ASSERT_TRUE(IsWindow(popup)) << "control " << c.control << ", closing " << c.closing;
      SendMessageA(popup, message, wParam, lParam);
    }
    if (c.closing == kDialogActivated) SetActiveWindow(dialog);
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&m);
    EXPECT_FALSE(IsWindow(popup)) << "control " << c.control << ", closing " << c.closing;
    EXPECT_EQ(dialog, GetActiveWindow()) << "the dialog goes on";
  }
  EXPECT_EQ(HelpTopicText(0), HelpTopicText(99)) << "an id without a topic gets the contents";
}

// However small the work area, the longest topic lies inside it: wrapped
// wider, in a smaller font, or cut short.
RECT smallArea;
RECT SmallArea(POINT) { return smallArea; }

TEST_F(HelpPopup, LiesInsideASmallWorkArea) {
  SetWorkAreaFinder(SmallArea);
  for (RECT area : {RECT{0, 0, 640, 480}, RECT{0, 0, 400, 300}, RECT{120, 60, 420, 260}, RECT{0, 0, 160, 120}}) {
    smallArea = area;
    for (int control : {IDC_TITLE_LINE, IDC_FLAKE_COUNT}) {
      AskHelp(control, POINT{0, 0}, true);
      HWND popup = FindWindowA(kHelpPopupClass, nullptr);
      ASSERT_NE(nullptr, popup) << control;
      RECT place;
      GetWindowRect(popup, &place);
      EXPECT_TRUE(place.left >= area.left && place.top >= area.top && place.right <= area.right &&
                  place.bottom <= area.bottom) << area.right << " x " << area.bottom << ", control " << control;
      DestroyWindow(popup);
    }
  }
  SetWorkAreaFinder(nullptr);
}

// F1 in the About box, which the dialog owns, shows the About box's own
// topic in front of it.
TEST_F(HelpPopup, TheAboutBoxAnswersItsOwnHelp) {
  HWND about = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
  ShowWindow(about, SW_SHOW);
  SetForegroundWindow(about);
  HoldF1(true);
  HELPINFO info{sizeof info, HELPINFO_WINDOW, IDOK, GetDlgItem(about, IDOK), 0, {}};
  SendMessageA(about, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  HWND popup = FindWindowA(kHelpPopupClass, nullptr);
  ASSERT_NE(nullptr, popup);
  EXPECT_EQ(std::tuple(about, HelpTopicText(HelpContextOf(IDC_ABOUT)), popup),
            std::tuple(GetWindow(popup, GW_OWNER), WindowText(popup), GetActiveWindow()));
  DestroyWindow(popup);
  HoldF1(false);
  DestroyWindow(about);
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

struct HelpCall { HWND owner; std::string file; UINT command; DWORD id; };

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

  HWND owner = CreateWindowA("STATIC", "help test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  std::string path = WindowsPath(NIVALO_HLP_UNIX_PATH);
};

TEST_F(HelpViewer, ContentsAndEveryIdOfTheHelpTableOpenTheirTopics) {
  InitProcessState(GetModuleHandleA(nullptr));
  ASSERT_TRUE(StartViewer());
  ASSERT_TRUE(Open(HELP_CONTENTS, 0, Title(0)));

  // The viewer shows the topic the program holds for each id (an id without
  // one would show the contents there, and a box in the viewer).
  std::string previous = Title(0);
  int wrong = 0;
  for (size_t i = 0; kHelpTable[i] != 0; i += 2) {
    const std::string title = Title(kHelpTable[i + 1]);
    // The same topic twice in a row would leave the text as it was.
    if (title == previous) {
      ASSERT_TRUE(Open(HELP_CONTENTS, 0, Title(0)));
    }
    const ::testing::AssertionResult shown = Open(HELP_CONTEXT, kHelpTable[i + 1], title);
    EXPECT_TRUE(shown) << "control " << kHelpTable[i];
    wrong += !shown;
    ASSERT_LT(wrong, 3) << "the sweep stops here";
    previous = title;
  }
}

}  // namespace
