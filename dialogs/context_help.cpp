#include "dialogs/context_help.h"

#include <algorithm>
#include <cstring>

#include "dialogs/help_popup.h"
#include "resources/resource.h"
#include "system/help_request.h"
#include "system/process_state.h"

const DWORD kHelpTable[] = {
    IDC_APPLY_AND_SAVE, 100, IDOK, 101, IDCANCEL, 102,
    IDC_SNOWFALL_PICTURE, 104, IDC_SNOWFALL_ON, 105,
    IDC_SLEIGH_PICTURE, 106, IDC_SLEIGH_ON, 107,
    IDC_WIND_PICTURE, 108, IDC_WIND_ON, 109,
    IDC_SCENERY_PICTURE, 110, IDC_SCENERY_ON, 111,
    IDC_SNOW_ON_MASK_PICTURE, 112, IDC_SNOW_ON_MASK, 113,
    IDC_SNOW_ON_GROUND_PICTURE, 114, IDC_SNOW_ON_GROUND, 115,
    IDC_SLEIGH_IN_WIND_PICTURE, 116, IDC_SLEIGH_IN_WIND, 117,
    IDC_SNOW_ON_DESKTOP_PICTURE, 192, IDC_SNOW_ON_DESKTOP, 193,
    IDC_RED_NOSE_PICTURE, 118, IDC_RED_NOSE, 119,
    IDC_SLEIGH_SMALL_PICTURE, 120, IDC_SLEIGH_SMALL, 121,
    IDC_SLEIGH_MEDIUM_PICTURE, 122, IDC_SLEIGH_MEDIUM, 123,
    IDC_SLEIGH_LARGE_PICTURE, 124, IDC_SLEIGH_LARGE, 125,
    IDC_FACTORY_SETTINGS, 126, IDC_SAVE_SETTINGS, 127, IDC_RESTORE_SETTINGS, 128,
    IDC_ABOUT, 129,
    IDC_FLAKE_COUNT, 133, IDC_FLAKE_WOBBLE, 135, IDC_FLAKE_COUNT, 133,
    IDC_FLAKE_COUNT_PICTURE, 134, IDC_FLAKE_WOBBLE, 135,
    IDC_FLAKE_WOBBLE_PICTURE, 136, IDC_FLAKE_DRIFT, 137,
    IDC_FLAKE_DRIFT_PICTURE, 138, IDC_FLAKE_SPEED, 139,
    IDC_FLAKE_SPEED_PICTURE, 140, IDC_WINDOW_SNOW_DEPTH, 141,
    IDC_WINDOW_SNOW_DEPTH_PICTURE, 142, IDC_GROUND_SNOW_DEPTH, 143,
    IDC_GROUND_SNOW_DEPTH_PICTURE, 144, IDC_SLEIGH_SPEED, 145,
    IDC_SLEIGH_SPEED_PICTURE, 146, IDC_FRAME_PERIOD, 147,
    IDC_FRAME_PERIOD_PICTURE, 147,
    IDC_SLEIGH_FRAME_DIVIDER_PICTURE, 150, IDC_SLEIGH_FRAME_DIVIDER, 150,
    IDC_GUST_PAUSE_PICTURE, 162, IDC_GUST_PAUSE, 162,
    IDC_GUST_RISE_STEP, 163, IDC_GUST_RISE_TIME, 164,
    IDC_GUST_FALL_STEP, 165, IDC_GUST_FALL_TIME, 166,
    IDC_GUST_RISE_STEP_PICTURE, 163, IDC_GUST_RISE_TIME_PICTURE, 164,
    IDC_GUST_FALL_STEP_PICTURE, 165, IDC_GUST_FALL_TIME_PICTURE, 166,
    IDC_GUST_MAXIMUM_PICTURE, 170, IDC_GUST_MAXIMUM, 170,
    IDC_HIDDEN_SWITCH, 191, IDC_SNOWMAN, 191,
    IDC_WEB_PAGE, 187,
    IDC_CHOOSE_PICTURE, 180, IDC_PICTURE_PATH, 180,
    IDC_CHOOSE_MASK, 185, IDC_MASK_PATH, 186,
    IDC_LAYOUT_STRETCHED, 181, IDC_LAYOUT_STRETCHED_PICTURE, 181,
    IDC_LAYOUT_CENTRED, 182, IDC_LAYOUT_CENTRED_PICTURE, 182,
    IDC_LAYOUT_TILED, 183, IDC_LAYOUT_TILED_PICTURE, 183,
    IDC_MASK_MAX_RECTS, 184, IDC_MASK_MAX_RECTS_PICTURE, 184,
    IDC_LIVE_PREVIEW, 188,
    0, 0,
};
const size_t kHelpTableSize = sizeof kHelpTable / sizeof kHelpTable[0];

namespace {

constexpr char kHelpFileName[] = "Nivalohelp.hlp";

ULONG_PTR TableArgument() { return reinterpret_cast<ULONG_PTR>(kHelpTable); }

// Windows Vista and later ship no viewer for the help file: there the
// dialog shows its topics in a pop-up of its own.
bool HasHelpViewer() { return Process().majorVersion < 6; }

// The help window's topic for the control, when the system showed nothing
// for the table.
void OpenTopicOf(HWND owner, int controlId, const char* path) {
  const DWORD context = HelpContextOf(controlId);
  if (context != 0) RequestHelp(owner, path, HELP_CONTEXT, context);
}

// A click on a disabled picture reaches the dialog itself: the control
// under the point is the one meant.
HWND ControlAt(HWND owner, HWND window, POINT screenPoint) {
  if (window != owner) return window;
  POINT client = screenPoint;
  ScreenToClient(owner, &client);
  HWND child = ChildWindowFromPointEx(owner, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
  return child ? child : owner;
}

// A string of the program, of any length; empty where there is none.
std::string LoadedString(UINT id) {
  std::string text(256, '\0');
  for (;;) {
    const int length = LoadStringA(Process().instance, id, text.data(), static_cast<int>(text.size()));
    if (length < static_cast<int>(text.size()) - 1) {
      text.resize(static_cast<size_t>(std::max(length, 0)));
      return text;
    }
    text.resize(text.size() * 2);
  }
}

// Where a pop-up for a window goes: below the window when asked from the
// keyboard, else at the point of the click.
RECT AnchorOf(HWND window, bool fromKeyboard, POINT screenPoint) {
  RECT anchor{screenPoint.x, screenPoint.y, screenPoint.x, screenPoint.y};
  if (fromKeyboard) GetWindowRect(window, &anchor);
  return anchor;
}

// The topic of the window's control in the dialog's own pop-up.
void ShowTopicPopup(HWND owner, HWND window, bool fromKeyboard, POINT screenPoint) {
  if (!fromKeyboard) window = ControlAt(owner, window, screenPoint);
  ShowHelpPopup(owner, HelpTopicText(HelpContextOf(GetDlgCtrlID(window))).c_str(),
                AnchorOf(window, fromKeyboard, screenPoint));
}

// F1 is still down while its request is handled; "What's this?" is a click.
bool AskedWithF1() { return GetKeyState(VK_F1) < 0; }

}  // namespace

void HelpFilePath(char* path) {
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    strcpy(path, kHelpFileName);
    return;
  }
  char* name = strrchr(path, '\\');
  name = name ? name + 1 : path;
  if (static_cast<size_t>(name - path) + sizeof kHelpFileName > MAX_PATH) {
    strcpy(path, kHelpFileName);
    return;
  }
  strcpy(name, kHelpFileName);
}

DWORD HelpContextOf(int controlId) {
  for (size_t i = 0; kHelpTable[i] != 0 || kHelpTable[i + 1] != 0; i += 2) {
    if (static_cast<int>(kHelpTable[i]) == controlId) return kHelpTable[i + 1];
  }
  return 0;
}

std::string HelpTopicText(DWORD context) {
  std::string text = LoadedString(IDS_HELP_TOPICS + context);
  return text.empty() ? LoadedString(IDS_HELP_TOPICS) : text;
}

void ShowControlHelp(HWND owner, HWND control, POINT mouse) {
  if (!HasHelpViewer()) {
    ShowTopicPopup(owner, control, AskedWithF1(), mouse);
    return;
  }
  char path[MAX_PATH];
  HelpFilePath(path);
  if (!RequestHelp(control, path, HELP_WM_HELP, TableArgument())) {
    OpenTopicOf(owner, GetDlgCtrlID(control), path);
  }
}

void ShowContextMenuHelp(HWND owner, HWND window, POINT screenPoint) {
  if (!HasHelpViewer()) {
    // Shift+F10 and the menu key name no point.
    ShowTopicPopup(owner, window, screenPoint.x == -1 && screenPoint.y == -1, screenPoint);
    return;
  }
  char path[MAX_PATH];
  HelpFilePath(path);
  if (RequestHelp(window, path, HELP_CONTEXTMENU, TableArgument())) return;
  window = ControlAt(owner, window, screenPoint);
  if (window != owner) OpenTopicOf(owner, GetDlgCtrlID(window), path);
}

void ShowWindowHelp(HWND window, DWORD context, HWND control, POINT mouse) {
  if (!HasHelpViewer()) {
    ShowHelpPopup(window, HelpTopicText(context).c_str(), AnchorOf(control, AskedWithF1(), mouse));
    return;
  }
  char path[MAX_PATH];
  HelpFilePath(path);
  RequestHelp(window, path, HELP_CONTEXTPOPUP, context);
}
