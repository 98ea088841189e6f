// The settings dialog against the real controls, with the stored settings
// in the registry, on Windows XP (as Wine is told to report to this
// program); message boxes, beeps, the file dialog, help and the shell are
// seen through their seams instead of shown.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <tuple>

#include "dialogs/about_dialog.h"
#include "dialogs/context_help.h"
#include "dialogs/settings_controls.h"
#include "dialogs/settings_dialog.h"
#include "images/image_files.h"
#include "resources/resource.h"
#include "scene/scene.h"
#include "settings/settings.h"
#include "support/test_support.h"
#include "system/beep.h"
#include "system/file_dialog.h"
#include "system/help_request.h"
#include "system/later_messages.h"
#include "system/optional_calls.h"
#include "system/process_state.h"

namespace {

int beeps = 0;

using Helps = std::vector<std::tuple<HWND, std::string, UINT, ULONG_PTR>>;  // window, file, command, data
Helps helpRequests;
BOOL helpAnswer = FALSE;

// What the file dialog answers: a path, or nothing for Cancel.
std::string fileAnswer;
OPENFILENAMEA fileRequest;
std::string offeredPath;

void CountBeep(UINT) { ++beeps; }

BOOL RecordHelp(HWND window, const char* file, UINT command, ULONG_PTR data) {
  helpRequests.emplace_back(window, file, command, data);
  return helpAnswer;
}

BOOL AnswerFileDialog(OPENFILENAMEA* request) {
  fileRequest = *request;
  offeredPath = request->lpstrFile;
  if (fileAnswer.empty()) return FALSE;
  strcpy(request->lpstrFile, fileAnswer.c_str());
  return TRUE;
}

class SettingsDialog : public testing::Test {
 protected:
  HWND dialog = nullptr;

  void SetUp() override {
    InitProcessState(GetModuleHandleA(nullptr));
    ClearStoredSettings();
    RecordMessageBoxes();
    SetBeepStandIn(CountBeep);
    SetHelpStandIn(RecordHelp);
    SetFileDialogStandIn(AnswerFileDialog);
  }
  void TearDown() override {
    if (dialog) DestroyWindow(dialog);
    ClearStoredSettings();
  }

  // Opens the dialog as the system would, but without its own message
  // loop, so that the test drives it.
  void Open(const SettingsEdit& edit = [](SettingsRecord&) {}) {
    StoreSettings(edit);
    ResetSettingsProcessState();
    dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                                SettingsDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    beeps = 0;
  }
  void Click(int control) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), 0); }
  void Type(int control, const std::string& text) { SetDlgItemTextA(dialog, control, text.c_str()); }
  std::string Text(int control) { return WindowText(GetDlgItem(dialog, control)); }
  bool Checked(int control) { return IsDlgButtonChecked(dialog, control) == BST_CHECKED; }
  // A click on a check box that leaves it as it is: the controls are read.
  void ReadControls() { Click(IDC_SLEIGH_IN_WIND); }
};

TEST_F(SettingsDialog, OpensWithTheStoredSettingsInEveryControl) {
  Open([](SettingsRecord& s) {
    s.SnowfallOn = 0, s.SceneryOn = 17, s.SleighKind = 4, s.FlakeCount = 123, s.FlakeWobble = 7, s.GustPause = 2500;
    s.FramePeriod = 33, s.PictureLayout = 2, s.MaskMaxRects = 999;
    strcpy(s.PicturePath, "C:\\pictures\\winter.bmp");
  });
  EXPECT_TRUE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0) && !GetClassLongPtrA(dialog, GCLP_HICON))
      << "the dialog's own icon, not that of every later dialog";
  for (int on : {IDC_SCENERY_ON, IDC_SLEIGH_ON, IDC_SLEIGH_MEDIUM, IDC_RED_NOSE, IDC_LAYOUT_TILED}) {
    EXPECT_TRUE(Checked(on)) << on;
  }
  for (int off : {IDC_SNOWFALL_ON, IDC_SLEIGH_SMALL, IDC_SLEIGH_LARGE}) EXPECT_FALSE(Checked(off)) << off;
  const struct { int control; const char* text; } kTexts[] = {
      {IDC_FLAKE_COUNT, "123"}, {IDC_FLAKE_WOBBLE, "7"},  {IDC_FLAKE_DRIFT, "2"},
      {IDC_FLAKE_SPEED, "10"},  {IDC_WINDOW_SNOW_DEPTH, "15"}, {IDC_GROUND_SNOW_DEPTH, "40"},
      {IDC_SLEIGH_SPEED, "4"},  {IDC_FRAME_PERIOD, "33"},  {IDC_SLEIGH_FRAME_DIVIDER, "4"},
      {IDC_GUST_PAUSE, "2"},    {IDC_GUST_RISE_STEP, "100"}, {IDC_GUST_RISE_TIME, "6"},
      {IDC_GUST_FALL_STEP, "100"}, {IDC_GUST_FALL_TIME, "4"}, {IDC_GUST_MAXIMUM, "40"},
      {IDC_PICTURE_PATH, "C:\\pictures\\winter.bmp"}, {IDC_MASK_PATH, kBuiltinMaskName}, {IDC_MASK_MAX_RECTS, "999"},
  };
  for (const auto& t : kTexts) EXPECT_EQ(Text(t.control), t.text) << t.control;
  EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, IDC_GUST_MAXIMUM), GWL_STYLE) & ES_READONLY) << "shown only";
}

TEST_F(SettingsDialog, TypedNumbersAreCorrectedWithABeepAndTheCorrectedText) {
  const struct {
    int control;
    const char* typed;
    int32_t SettingsRecord::*field;
    int stored;
    const char* shown;
    int beeps;
  } kCases[] = {
      {IDC_FLAKE_COUNT, "600", &SettingsRecord::FlakeCount, 500, "500", 1},
      {IDC_FLAKE_COUNT, "-5", &SettingsRecord::FlakeCount, 0, "-5", 0},
      {IDC_FLAKE_COUNT, " +42 flakes", &SettingsRecord::FlakeCount, 42, " +42 flakes", 0},
      {IDC_FLAKE_COUNT, "snow", &SettingsRecord::FlakeCount, 0, "0", 1},  // no number: said with a beep
      {IDC_FLAKE_SPEED, "1", &SettingsRecord::FlakeSpeed, 3, "3", 1},
      {IDC_FLAKE_SPEED, "3", &SettingsRecord::FlakeSpeed, 3, "3", 0},
      {IDC_GROUND_SNOW_DEPTH, "-40", &SettingsRecord::GroundSnowDepth, 0, "0", 1},
      {IDC_SLEIGH_SPEED, "0", &SettingsRecord::SleighSpeed, 1, "1", 1},
      {IDC_FRAME_PERIOD, "0", &SettingsRecord::FramePeriod, 10, "10", 1},
      {IDC_SLEIGH_FRAME_DIVIDER, "0", &SettingsRecord::SleighFrameDivider, 1, "1", 1},
      {IDC_SLEIGH_FRAME_DIVIDER, "many", &SettingsRecord::SleighFrameDivider, 1, "1", 1},
      {IDC_SLEIGH_FRAME_DIVIDER, "-2", &SettingsRecord::SleighFrameDivider, 1, "1", 1},
      {IDC_GUST_PAUSE, "2.5", &SettingsRecord::GustPause, 2000, "2.5", 0},
      {IDC_GUST_PAUSE, "0", &SettingsRecord::GustPause, 1000, "1", 1},
      {IDC_GUST_RISE_TIME, "-3", &SettingsRecord::GustRiseTime, 1000, "1", 1},
      {IDC_GUST_FALL_STEP, "wind", &SettingsRecord::GustFallStep, 10, "10", 1},
      {IDC_GUST_FALL_TIME, "7", &SettingsRecord::GustFallTime, 7000, "7", 0},
      {IDC_MASK_MAX_RECTS, "1234", &SettingsRecord::MaskMaxRects, 1234, "1234", 0},
      // Beyond the 32-bit range: the ends of the range, never a wrapped sign.
      {IDC_FRAME_PERIOD, "99999999999", &SettingsRecord::FramePeriod, 1000, "1000", 1},
      {IDC_FRAME_PERIOD, "-99999999999999999999999", &SettingsRecord::FramePeriod, 10, "10", 1},
      {IDC_GUST_PAUSE, "5000000", &SettingsRecord::GustPause, 3600000, "3600", 1},
      {IDC_GUST_PAUSE, "-5000000", &SettingsRecord::GustPause, 1000, "1", 1},
  };
  Open();
  for (const auto& c : kCases) {
    beeps = 0;
    Type(c.control, c.typed);
    ReadControls();
    EXPECT_EQ(Settings().*c.field, c.stored) << c.typed;
    EXPECT_EQ(Text(c.control), c.shown) << c.typed;
    EXPECT_EQ(beeps, c.beeps) << c.typed;
    FillSettingsControls(dialog);
  }
  // Whole seconds are shown again as whole seconds.
  Type(IDC_GUST_PAUSE, "2.5");
  ReadControls();
  FillSettingsControls(dialog);
  EXPECT_EQ(Text(IDC_GUST_PAUSE), "2");
}

TEST_F(SettingsDialog, TypedPathsKeepTheirFirst254Characters) {
  Open();
  Type(IDC_PICTURE_PATH, std::string(300, 'p'));
  Type(IDC_MASK_PATH, std::string(254, 'm'));
  ReadControls();
  EXPECT_EQ(std::string(Settings().PicturePath), std::string(254, 'p'));
  EXPECT_EQ(std::string(Settings().MaskPath), std::string(254, 'm'));
}

// The red-nose picture with Alt held and the large size: the blinking nose.
TEST_F(SettingsDialog, SleighSizeRedNoseAndAltChooseTheSpriteSet) {
  Open();
  const struct { int clicked; BYTE alt; int kind; } kClicks[] = {{IDC_RED_NOSE_PICTURE, 0, 5}, {IDC_SLEIGH_SMALL, 0, 3},
      {IDC_SLEIGH_MEDIUM_PICTURE, 0, 4}, {IDC_RED_NOSE_PICTURE, 0, 1}, {IDC_SLEIGH_LARGE, 0x80, 2},
      {IDC_RED_NOSE_PICTURE, 0x80, 6}, {IDC_SLEIGH_SMALL_PICTURE, 0, 3}};
  BYTE keys[256];
  GetKeyboardState(keys);
  for (const auto& c : kClicks) {
    keys[VK_MENU] = c.alt;
    SetKeyboardState(keys);
    Click(c.clicked);
    EXPECT_EQ(std::pair(c.kind, c.kind > 2), std::pair(Settings().SleighKind, Checked(IDC_RED_NOSE))) << c.clicked;
  }
  keys[VK_MENU] = 0;
  SetKeyboardState(keys);
}

// A damaged layout shows as stretched and is stored so.
TEST_F(SettingsDialog, OkKeepsStoredSpriteSetsAndRepairsADamagedLayout) {
  for (int kind : {3, 4, 6, 0}) {
    Open([kind](SettingsRecord& s) { s.SleighKind = kind, s.PictureLayout = 7; });
    EXPECT_TRUE(Checked(IDC_LAYOUT_STRETCHED) && !Checked(IDC_LAYOUT_CENTRED) && !Checked(IDC_LAYOUT_TILED));
    Click(IDOK);
    EXPECT_EQ(std::pair(kind, 0), std::pair(StoredRecord().SleighKind, StoredRecord().PictureLayout));
    DestroyWindow(dialog);
    dialog = nullptr;
  }
}

TEST_F(SettingsDialog, OnlyOkSaveAndTheHiddenApplyWriteTheRegistry) {
  Open([](SettingsRecord& s) { s.FlakeCount = 77, s.GustRiseStep = 70; });
  EXPECT_EQ(Text(IDC_GUST_RISE_STEP), "70") << "the gust timings are stored too";

  // Factory settings show the defaults and write nothing; Cancel neither.
  Click(IDC_FACTORY_SETTINGS);
  EXPECT_EQ(std::pair(Text(IDC_FLAKE_COUNT), Text(IDC_GUST_RISE_STEP)), std::pair(std::string("50"), std::string("100")));
  EXPECT_EQ(Settings().FlakeCount, 50);
  Click(IDCANCEL);
  EXPECT_EQ(std::pair(77, 70), std::pair(StoredRecord().FlakeCount, StoredRecord().GustRiseStep));

  // Restore settings reads the registry again.
  StoreSettings([](SettingsRecord& s) { s.FlakeCount = 88; });
  ResetSettings();
  Click(IDC_RESTORE_SETTINGS);
  EXPECT_EQ(Text(IDC_FLAKE_COUNT), "88");
  EXPECT_EQ(StoredRecord().FlakeCount, 88);

  // Save right after typing stores the number the controls last gave.
  Type(IDC_FLAKE_COUNT, "300");
  Click(IDC_SAVE_SETTINGS);
  EXPECT_EQ(StoredRecord().FlakeCount, 88);

  // The hidden apply button reads and saves; OK too.
  Click(IDC_APPLY_AND_SAVE);
  EXPECT_EQ(StoredRecord().FlakeCount, 300);
  Type(IDC_FLAKE_COUNT, "222");
  Click(IDOK);
  EXPECT_EQ(StoredRecord().FlakeCount, 222);
}

// The pictures beside the radio buttons choose as the buttons do (the
// pictures beside the check boxes show their changes in the live preview).
TEST_F(SettingsDialog, RadioPicturesChooseLikeTheirButtonsAndLabelsDoNothing) {
  Open();
  const struct { int clicked, radio; int32_t SettingsRecord::*field; int value; } kChoices[] = {
      {IDC_SLEIGH_SMALL_PICTURE, IDC_SLEIGH_SMALL, &SettingsRecord::SleighKind, 0},
      {IDC_SLEIGH_MEDIUM_PICTURE, IDC_SLEIGH_MEDIUM, &SettingsRecord::SleighKind, 1},
      {IDC_SLEIGH_LARGE_PICTURE, IDC_SLEIGH_LARGE, &SettingsRecord::SleighKind, 2},
      {IDC_LAYOUT_CENTRED_PICTURE, IDC_LAYOUT_CENTRED, &SettingsRecord::PictureLayout, 1},
      {IDC_LAYOUT_TILED_PICTURE, IDC_LAYOUT_TILED, &SettingsRecord::PictureLayout, 2},
      {IDC_LAYOUT_STRETCHED_PICTURE, IDC_LAYOUT_STRETCHED, &SettingsRecord::PictureLayout, 0},
      {IDC_LAYOUT_TILED, IDC_LAYOUT_TILED, &SettingsRecord::PictureLayout, 2},
      {IDC_SLEIGH_SMALL, IDC_SLEIGH_SMALL, &SettingsRecord::SleighKind, 0},
  };
  for (const auto& c : kChoices) {
    Click(c.clicked);
    EXPECT_TRUE(Checked(c.radio)) << c.clicked;
    EXPECT_EQ(Settings().*c.field, c.value) << c.clicked;
  }

  // Labels and ids outside the table do nothing, not even a read.
  Type(IDC_FLAKE_COUNT, "7");
  for (int id : {IDC_FLAKE_COUNT_PICTURE, IDC_FRAME_PERIOD_PICTURE, IDC_GUST_MAXIMUM,
                 IDC_GUST_PAUSE_PICTURE, IDC_SNOWMAN, IDC_HIDDEN_SWITCH, 4242}) {
    Click(id);
  }
  EXPECT_EQ(Settings().FlakeCount, 50);
}

TEST_F(SettingsDialog, ChosenFilesAreShownAndReadWithAMessageWhenTheyAreNoBmp) {
  const std::string text = WriteTempFile("nivalo-not-a-picture.txt", "snow");

  Open([](SettingsRecord& s) { strcpy(s.PicturePath, "C:\\old.bmp"); });
  std::vector<SeenMessageBox>& boxes = RecordMessageBoxes();

  // Cancel: nothing changes.
  fileAnswer.clear();
  Click(IDC_CHOOSE_PICTURE);
  EXPECT_EQ(offeredPath, "C:\\old.bmp");
  const OPENFILENAMEA& r = fileRequest;  // the size that Windows 95 knows, the 255 of the field
  const DWORD flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  EXPECT_EQ(std::tuple(DWORD(OPENFILENAME_SIZE_VERSION_400A), 255ul, 1ul, HWND{}, flags),
            std::tuple(r.lStructSize, r.nMaxFile, r.nFilterIndex, r.hwndOwner, r.Flags));
  EXPECT_EQ(std::string(r.lpstrFilter, 48), std::string("Bitmap files (*.bmp)\0*.bmp\0All files (*.*)\0*.*\0", 48));
  EXPECT_EQ(Text(IDC_PICTURE_PATH), "C:\\old.bmp");
  EXPECT_TRUE(boxes.empty());

  // A file that is no BMP: the message naming it, the path kept in edit and record.
  fileAnswer = text;
  Click(IDC_CHOOSE_PICTURE);
  ASSERT_EQ(boxes.size(), 1u);
  const SeenMessageBox& box = boxes[0];
  EXPECT_EQ(std::tuple(dialog, "BMP format error: Sorry, could not read the file (format error?)\n\nPicture file: " + text,
                       UINT(MB_OK)), std::tuple(box.owner, box.caption + ": " + box.text, box.type));
  EXPECT_EQ(Text(IDC_PICTURE_PATH), text);
  EXPECT_EQ(std::string(Settings().PicturePath), text);

  // A real BMP is taken quietly.
  boxes.clear();
  fileAnswer = Write("mask", MaskFile(1, 1, [](int, int) { return true; }));
  Click(IDC_CHOOSE_MASK);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(Text(IDC_MASK_PATH), fileAnswer);
  EXPECT_EQ(std::string(Settings().MaskPath), fileAnswer);

  // A typed path is read when the controls are, and reported once; the
  // built-in mask and an empty path name no file.
  for (const std::string& typed : {text, text, std::string(kBuiltinMaskName), std::string()}) Type(IDC_MASK_PATH, typed), ReadControls();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Sorry, could not read the file (format error?)\n\nMask file: " + text);
  DeleteFileA(text.c_str());
  DeleteFileA(fileAnswer.c_str());
}

// The stored files that cannot be read are named once the dialog shows.
TEST_F(SettingsDialog, OpeningNamesTheStoredFilesThatCannotBeRead) {
  Open([](SettingsRecord& s) { strcpy(s.PicturePath, "C:\\gone\\winter.bmp"), strcpy(s.MaskPath, "C:\\gone\\star.bmp"); });
  std::vector<SeenMessageBox>& boxes = RecordMessageBoxes();
  for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&m);
  const std::vector<std::pair<HWND, std::string>> kNamed = {{dialog, "File not found\n\nPicture file: C:\\gone\\winter.bmp"},
                                                            {dialog, "File not found\n\nMask file: C:\\gone\\star.bmp"}};
  std::vector<std::pair<HWND, std::string>> seen;
  for (const SeenMessageBox& b : boxes) seen.emplace_back(b.owner, b.text);
  EXPECT_EQ(kNamed, seen);
}

// Windows 95 to XP: the help viewer is asked.
TEST_F(SettingsDialog, HelpRequestsPassTheTableAndFallBackToTheControlsTopic) {
  ASSERT_LT(Process().majorVersion, 6u) << "Wine must report Windows XP to this program";
  const DWORD kTable[] = {
      1087, 100, 1, 101, 2, 102, 1041, 104, 1012, 105, 1042, 106, 1013, 107, 1043, 108,
      1014, 109, 1044, 110, 1015, 111, 1045, 112, 1016, 113, 1046, 114, 1017, 115, 1047, 116,
      1018, 117, 1040, 192, 1019, 193, 1071, 118, 1050, 119, 1068, 120, 1027, 121, 1069, 122, 1028, 123, 1070, 124,
      1031, 125, 1054, 126, 1074, 127, 1075, 128, 1052, 129, 1049, 133, 1056, 135, 1049, 133,
      1020, 134, 1056, 135, 1021, 136, 1057, 137, 1088, 138, 1058, 139, 1089, 140, 1059, 141,
      1090, 142, 1060, 143, 1091, 144, 1061, 145, 1092, 146, 1076, 147, 1093, 147, 1048, 150,
      1077, 150, 1055, 162, 1078, 162, 1083, 163, 1084, 164, 1085, 165, 1086, 166, 1063, 163,
      1065, 164, 1066, 165, 1067, 166, 1062, 170, 1082, 170, 1094, 191, 1073, 191, 1096, 187,
      1079, 180, 1103, 180, 1080, 185, 1106, 186, 1107, 181, 1095, 181, 1108, 182, 1104, 182,
      1109, 183, 1105, 183, 1051, 184, 1136, 184, 1097, 188, 0, 0,
  };
  EXPECT_EQ(std::vector(std::begin(kTable), std::end(kTable)), std::vector(kHelpTable, kHelpTable + kHelpTableSize));

  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string file = program;
  file = file.substr(0, file.rfind('\\') + 1) + "Nivalohelp.hlp";
  const ULONG_PTR table = reinterpret_cast<ULONG_PTR>(kHelpTable);

  Open();
  HWND speed = GetDlgItem(dialog, IDC_FLAKE_SPEED);
  HELPINFO info{sizeof info, HELPINFO_WINDOW, IDC_FLAKE_SPEED, speed, 0, {}};

  // Where the system shows the pop-up, nothing more is asked, and the request,
  // answered, does not go on to the dialog's owner; where it refuses, the
  // control's topic opens in the help window. A right click names its window;
  // on a disabled picture it reaches the dialog, and the picture under the
  // pointer is meant.
  HWND wind = GetDlgItem(dialog, IDC_WIND_PICTURE);
  RECT r;
  GetWindowRect(GetDlgItem(dialog, IDC_FLAKE_COUNT_PICTURE), &r);
  const LPARAM help = reinterpret_cast<LPARAM>(&info), at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  const struct { UINT message; HWND window; LPARAM lParam; BOOL answer; Helps asked; } kRequests[] = {
      {WM_HELP, nullptr, help, TRUE, {{speed, file, HELP_WM_HELP, table}}},
      {WM_HELP, nullptr, help, FALSE, {{speed, file, HELP_WM_HELP, table}, {dialog, file, HELP_CONTEXT, 139}}},
      {WM_CONTEXTMENU, wind, MAKELPARAM(5, 5), FALSE,
       {{wind, file, HELP_CONTEXTMENU, table}, {dialog, file, HELP_CONTEXT, 108}}},
      {WM_CONTEXTMENU, dialog, at, FALSE, {{dialog, file, HELP_CONTEXTMENU, table}, {dialog, file, HELP_CONTEXT, 134}}}};
  for (const auto& q : kRequests) {
    helpRequests.clear();
    helpAnswer = q.answer;
    EXPECT_EQ(TRUE, SettingsDialogProc(dialog, q.message, reinterpret_cast<WPARAM>(q.window), q.lParam)) << q.message;
    EXPECT_EQ(q.asked, helpRequests) << q.message << " answered " << q.answer;
  }

  // F1 in the About box asks for the About topic in front of it; passed on
  // from a box the dialog owns, with one of the box's buttons, it asks for none.
  HWND about = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
  HELPINFO inAbout{sizeof inAbout, HELPINFO_WINDOW, IDOK, GetDlgItem(about, IDOK), 0, {}};
  helpRequests.clear();
  SendMessageA(about, WM_HELP, 0, reinterpret_cast<LPARAM>(&inAbout));
  EXPECT_EQ(TRUE, SettingsDialogProc(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&inAbout)));
  EXPECT_EQ(Helps({{about, file, HELP_CONTEXTPOPUP, 129}}), helpRequests);
  DestroyWindow(about);
}

// How a window follows the screen's resolution: 0 not at all, 1 the primary
// screen's, 2 each monitor's.
template <typename Function>
Function User32(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}
int WindowAwareness(HWND window) {
  const auto context = User32<HANDLE(WINAPI*)(HWND)>("GetWindowDpiAwarenessContext");
  return User32<int(WINAPI*)(HANDLE)>("GetAwarenessFromDpiAwarenessContext")(context(window));
}

// Looks at the About box from inside its modal loop, then ends it.
HWND aboutOwner = nullptr;
BOOL ownerEnabled = TRUE;
int aboutAwareness = -1;
void CALLBACK LookAtAbout(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND about = FindWindowA(nullptr, "About Nivalo");
  ownerEnabled = IsWindowEnabled(aboutOwner = GetWindow(about, GW_OWNER));
  aboutAwareness = WindowAwareness(about);
  PostMessageA(about, WM_COMMAND, IDOK, 0);
}

// The dialog owns the About box and waits disabled: no second box can open.
// The box's fonts are sized for the screen's resolution, which it keeps
// wherever the dialog follows its monitor's.
TEST_F(SettingsDialog, AboutIsOwnedByTheDialogWhichWaitsDisabled) {
  // Each monitor's, in the first version of that awareness: Wine knows no other.
  const auto setContext = User32<HANDLE(WINAPI*)(HANDLE)>("SetThreadDpiAwarenessContext");
  const HANDLE before = setContext(reinterpret_cast<HANDLE>(-3));
  Open();
  SetTimer(nullptr, 0, 0, LookAtAbout);
  Click(IDC_ABOUT);
  EXPECT_EQ(std::pair(dialog, FALSE), std::pair(aboutOwner, ownerEnabled));
  EXPECT_TRUE(IsWindowEnabled(dialog));
  EXPECT_EQ(std::pair(2, 1), std::pair(WindowAwareness(dialog), aboutAwareness));
  setContext(before);
}

TEST_F(SettingsDialog, WwwOpensTheWebPageThroughTheShell) {
  Open();
  std::vector<SeenShellCall>& shellCalls = RecordShellCalls();
  Click(IDC_WEB_PAGE);
  ASSERT_EQ(shellCalls.size(), 1u);
  EXPECT_EQ(shellCalls[0].parameters, NIVALO_WEB_ADDRESS) << "opened as the About box opens it";
}

// The width and height of a bitmap, or of an icon's picture.
SIZE ImageSize(HANDLE image, UINT type) {
  ICONINFO icon{};
  if (type == IMAGE_ICON && !GetIconInfo(static_cast<HICON>(image), &icon)) return {};
  BITMAP b{};
  GetObjectA(type == IMAGE_ICON ? icon.hbmColor : image, sizeof b, &b);
  for (HBITMAP made : {icon.hbmColor, icon.hbmMask}) DeleteObject(made);
  return {b.bmWidth, b.bmHeight};
}
SIZE PictureSize(HWND dialog, int control, UINT type) {
  return ImageSize(reinterpret_cast<HANDLE>(SendDlgItemMessageA(dialog, control, STM_GETIMAGE, type, 0)), type);
}

Capture BitmapPixels(HANDLE bitmap) {
  const SIZE size = ImageSize(bitmap, IMAGE_BITMAP);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, bitmap);
  Capture c = CaptureDC(memory, size.cx, size.cy);
  SelectObject(memory, old);
  DeleteDC(memory);
  return c;
}

// Moved to monitors of other resolutions, back and forth, the dialog takes
// the rectangle the system suggests and its pictures follow: bitmaps at the
// whole multiple, every pixel a block; icons, its own included, at the
// system's size. Nothing is left behind.
TEST_F(SettingsDialog, FollowsTheResolutionOfItsMonitor) {
  Open();
  HANDLE sleigh = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SLEIGH_LARGE), IMAGE_BITMAP, 0, 0, 0);
  const Capture original = BitmapPixels(sleigh);
  DeleteObject(sleigh);
  int places = 0;
  for (int round = 0; round < 10; ++round) {
    for (int dpi : {144, 192, 96}) {
      const RECT suggested{10 * round, 20, 10 * round + 5 * dpi, 20 + 4 * dpi};
      SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
      for (MSG msg; PeekMessageA(&msg, dialog, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
      RECT now;
      GetWindowRect(dialog, &now);
      EXPECT_TRUE(EqualRect(&suggested, &now)) << dpi;
      const int scale = dpi / 96, icon = SystemMetricAt(SM_CXICON, dpi), small = SystemMetricAt(SM_CXSMICON, dpi);
      const std::pair<SIZE, int> shown[] = {
          {PictureSize(dialog, IDC_SLEIGH_LARGE_PICTURE, IMAGE_BITMAP), original.width * scale},
          {PictureSize(dialog, IDC_RED_NOSE_PICTURE, IMAGE_ICON), icon},
          {ImageSize(reinterpret_cast<HANDLE>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0)), IMAGE_ICON), icon},
          {ImageSize(reinterpret_cast<HANDLE>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0)), IMAGE_ICON), small}};
      for (const auto& [size, width] : shown) EXPECT_EQ(width, size.cx) << dpi;
      if (round > 0 || dpi != 192) continue;
      const Capture twice = BitmapPixels(reinterpret_cast<HANDLE>(
          SendDlgItemMessageA(dialog, IDC_SLEIGH_LARGE_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0)));
      ASSERT_EQ(original.height * 2, twice.height);
      for (int y = 0; y < twice.height; ++y) {
        for (int x = 0; x < twice.width; ++x) ASSERT_EQ(original.At(x / 2, y / 2), twice.At(x, y)) << x << "," << y;
      }
    }
    if (round == 0) places = FreeGdiPlaces();
  }
  EXPECT_EQ(places, FreeGdiPlaces()) << "pictures and icons of earlier resolutions are deleted";
}

}  // namespace
