#include "dialogs/settings_dialog.h"

#include <commdlg.h>
#include <windowsx.h>
#include <cstring>

#include "dialogs/about_dialog.h"
#include "dialogs/context_help.h"
#include "dialogs/live_preview.h"
#include "dialogs/picture_scaling.h"
#include "dialogs/settings_controls.h"
#include "dialogs/web_page.h"
#include "images/bmp_loader.h"
#include "resources/resource.h"
#include "scene/scene.h"
#include "settings/settings.h"
#include "snow/cover.h"
#include "surface/surface.h"
#include "system/file_dialog.h"
#include "system/later_messages.h"
#include "system/optional_calls.h"
#include "system/process_state.h"

namespace {

constexpr DWORD kFileBufferSize = 255;   // characters, the terminator included
constexpr DWORD kFileTitleSize = 100;
// Posted to itself as the dialog opens, so that the files it names are
// reported once it shows.
constexpr UINT kReportStoredFiles = WM_APP;

// A picture beside a check box, and the check box it toggles.
struct PicturedSwitch {
  int picture;
  int checkBox;
};
constexpr PicturedSwitch kPicturedSwitches[] = {
    {IDC_SNOWFALL_PICTURE, IDC_SNOWFALL_ON},       {IDC_SLEIGH_PICTURE, IDC_SLEIGH_ON},
    {IDC_WIND_PICTURE, IDC_WIND_ON},               {IDC_SCENERY_PICTURE, IDC_SCENERY_ON},
    {IDC_SNOW_ON_MASK_PICTURE, IDC_SNOW_ON_MASK},  {IDC_SNOW_ON_GROUND_PICTURE, IDC_SNOW_ON_GROUND},
    {IDC_SLEIGH_IN_WIND_PICTURE, IDC_SLEIGH_IN_WIND}, {IDC_SNOW_ON_DESKTOP_PICTURE, IDC_SNOW_ON_DESKTOP},
};

// A radio button or the picture beside it, and the choice it stands for.
struct Choice {
  int control;
  void (*check)(HWND dialog, int choice);
  int choice;
};
constexpr Choice kChoices[] = {
    {IDC_SLEIGH_SMALL, CheckSleighSizeRadio, 0},   {IDC_SLEIGH_SMALL_PICTURE, CheckSleighSizeRadio, 0},
    {IDC_SLEIGH_MEDIUM, CheckSleighSizeRadio, 1},  {IDC_SLEIGH_MEDIUM_PICTURE, CheckSleighSizeRadio, 1},
    {IDC_SLEIGH_LARGE, CheckSleighSizeRadio, 2},   {IDC_SLEIGH_LARGE_PICTURE, CheckSleighSizeRadio, 2},
    {IDC_LAYOUT_STRETCHED, CheckLayoutRadio, 0},   {IDC_LAYOUT_STRETCHED_PICTURE, CheckLayoutRadio, 0},
    {IDC_LAYOUT_CENTRED, CheckLayoutRadio, 1},     {IDC_LAYOUT_CENTRED_PICTURE, CheckLayoutRadio, 1},
    {IDC_LAYOUT_TILED, CheckLayoutRadio, 2},       {IDC_LAYOUT_TILED_PICTURE, CheckLayoutRadio, 2},
};

void ToggleCheckBox(HWND dialog, int checkBox) {
  const bool checked = IsDlgButtonChecked(dialog, checkBox) == BST_CHECKED;
  CheckDlgButton(dialog, checkBox, checked ? BST_UNCHECKED : BST_CHECKED);
}

void ApplyControls(HWND dialog) { ApplySettingsControls(dialog); }

void SetAltVariant(int on) {
  SettingsRecord r = Settings();
  r.SleighAltVariant = on;
  ReplaceSettings(r);
}

// The red-nose picture: Alt held chooses the nose that blinks.
void ToggleRedNose(HWND dialog) {
  ToggleCheckBox(dialog, IDC_RED_NOSE);
  SetAltVariant((GetKeyState(VK_MENU) & 0x8000) ? 1 : 0);
  ApplyControls(dialog);
}

// "Factory settings" and "Restore settings": the controls overwritten from
// the defaults or the registry, and every change applied.
void ReloadSettings(HWND dialog, void (*reload)()) {
  const SettingsRecord shown = Settings();
  reload();
  ShowReloadedSettings(dialog, shown);
}

void ReloadStored() { LoadSettings(); }

// "Picture" and "Mask": the system's file dialog offers the current path
// first; a chosen file is shown in its edit and read like a typed one: one
// that cannot be read is reported, and the live preview shows it or goes on
// without it.
void ChooseFile(HWND dialog, char (SettingsRecord::*field)[256], int edit) {
  char path[kFileBufferSize + 1];
  memcpy(path, Settings().*field, sizeof path);
  path[kFileBufferSize] = 0;
  char title[kFileTitleSize] = "";
  OPENFILENAMEA request{};
  // The size Windows 95 and NT 4.0 know; later systems accept it too.
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.lpstrFilter = "Bitmap files (*.bmp)\0*.bmp\0All files (*.*)\0*.*\0";
  request.nFilterIndex = 1;
  request.lpstrFile = path;
  request.nMaxFile = kFileBufferSize;
  request.lpstrFileTitle = title;
  request.nMaxFileTitle = kFileTitleSize;
  request.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (!ChooseOpenFile(&request)) return;
  path[kFileBufferSize] = 0;
  SetDlgItemTextA(dialog, edit, path);
  ApplyControls(dialog);
}

// "Preview": pressed, the scene runs behind the dialog from what the
// controls say; pressed again, it goes.
void ToggleLivePreview(HWND dialog) {
  if (IsDlgButtonChecked(dialog, IDC_LIVE_PREVIEW) != BST_CHECKED) {
    EndLivePreview();
    return;
  }
  ApplyControls(dialog);
  if (!StartLivePreview(dialog)) CheckDlgButton(dialog, IDC_LIVE_PREVIEW, BST_UNCHECKED);
}

// Owned by the dialog, which waits disabled until the box closes.
// Its fonts are sized for the screen's resolution, so it is drawn at that
// one and left to the system to stretch on a monitor of another.
void ShowAbout(HWND dialog) {
  const HANDLE resolution = EnterSystemResolution();
  DialogBoxParamA(Process().instance, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
  LeaveSystemEnlarging(resolution);
}

// The command table: what each control does when clicked. A running flash
// of the live preview ends first.
void OnCommand(HWND dialog, int control) {
  EndSceneFlash();
  for (const PicturedSwitch& p : kPicturedSwitches) {
    if (control == p.picture) {
      ToggleCheckBox(dialog, p.checkBox);
      ApplyControls(dialog);
      return;
    }
  }
  for (const Choice& c : kChoices) {
    if (control == c.control) {
      c.check(dialog, c.choice);
      ApplyControls(dialog);
      return;
    }
  }
  switch (control) {
    case IDC_SNOWFALL_ON: case IDC_SLEIGH_ON: case IDC_WIND_ON: case IDC_SCENERY_ON:
    case IDC_SNOW_ON_MASK: case IDC_SNOW_ON_GROUND: case IDC_SLEIGH_IN_WIND: case IDC_RED_NOSE:
    case IDC_SNOW_ON_DESKTOP:
      ApplyControls(dialog);
      break;
    case IDC_RED_NOSE_PICTURE: ToggleRedNose(dialog); break;
    case IDC_GUST_RISE_STEP_PICTURE: FlashSceneRegion(Surface().roomRegion); break;
    case IDC_GUST_FALL_STEP_PICTURE: FlashSceneRegion(CoverRegion()); break;
    case IDC_ABOUT: ShowAbout(dialog); break;
    case IDC_FACTORY_SETTINGS: ReloadSettings(dialog, ResetSettings); break;
    case IDC_RESTORE_SETTINGS: ReloadSettings(dialog, ReloadStored); break;
    case IDC_SAVE_SETTINGS: SaveSettings(); break;
    case IDC_APPLY_AND_SAVE:
      ApplyControls(dialog);
      SaveSettings();
      break;
    case IDC_CHOOSE_PICTURE: ChooseFile(dialog, &SettingsRecord::PicturePath, IDC_PICTURE_PATH); break;
    case IDC_CHOOSE_MASK: ChooseFile(dialog, &SettingsRecord::MaskPath, IDC_MASK_PATH); break;
    case IDC_WEB_PAGE: OpenWebPage(NIVALO_WEB_ADDRESS); break;
    case IDC_LIVE_PREVIEW: ToggleLivePreview(dialog); break;
    default: break;
  }
}

// The dialog's pictures and its own icons (its class's would be those of
// every later dialog) at the resolution of the monitor it opens on.
BOOL OnInitDialog(HWND dialog) {
  ShowPicturesAt(dialog, IDD_SETTINGS, ResolutionOf(dialog), true);
  UpdateWindow(dialog);
  LoadSettings();
  FillSettingsControls(dialog);
  PostMessageA(dialog, kReportStoredFiles, 0, 0);
  return TRUE;
}

// The stored picture or mask may be gone since it was chosen (a drive
// taken out, a file deleted): the user hears of it here, as the saver
// itself shows nothing.
BOOL OnReportStoredFiles(HWND dialog) {
  ReportUnreadableFile(dialog, IDC_PICTURE_PATH, Settings().PicturePath);
  ReportUnreadableFile(dialog, IDC_MASK_PATH, Settings().MaskPath);
  return TRUE;
}

BOOL OnOk(HWND dialog) {
  ApplySettingsControls(dialog);
  EndDialog(dialog, 0);
  SaveSettings();
  return TRUE;
}

BOOL OnCancel(HWND dialog) {
  EndDialog(dialog, 0);
  return TRUE;
}

// However the dialog closes, the live preview goes with it.
BOOL OnDestroy(HWND dialog) {
  EndLivePreview();
  DeletePictures(dialog);
  return FALSE;
}

// A request that names no window of the dialog (F1 in a message box the
// dialog owns, which passes it on) has no topic here: nothing is shown.
BOOL OnHelp(HWND dialog, const HELPINFO* help) {
  const auto item = static_cast<HWND>(help->hItemHandle);
  const bool control = (GetWindowLongA(item, GWL_STYLE) & WS_CHILD) && GetParent(item) == dialog;
  if (help->iContextType == HELPINFO_WINDOW && (item == dialog || control)) {
    ShowControlHelp(dialog, item, help->MousePos);
  }
  return TRUE;
}

BOOL OnContextMenu(HWND dialog, HWND window, LPARAM screenPoint) {
  ShowContextMenuHelp(dialog, window, POINT{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)});
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_DESTROY: return OnDestroy(dialog);
    case kReportStoredFiles: return OnReportStoredFiles(dialog);
    case WM_DPICHANGED: return FollowNewResolution(dialog, wParam, lParam);
    case kShowPicturesMessage:
      ShowPicturesAt(dialog, IDD_SETTINGS, static_cast<int>(wParam), false);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) return OnOk(dialog);
      if (LOWORD(wParam) == IDCANCEL) return OnCancel(dialog);
      break;
    default: break;
  }
  // A help request answered here goes no further, not to the owner (the
  // display control panel, which would show help of its own on top).
  return SettingsCommand(dialog, message, wParam, lParam);
}

BOOL SettingsCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HELP: return OnHelp(dialog, reinterpret_cast<const HELPINFO*>(lParam));
    case WM_CONTEXTMENU: return OnContextMenu(dialog, reinterpret_cast<HWND>(wParam), lParam);
    case WM_COMMAND: OnCommand(dialog, LOWORD(wParam)); return FALSE;
    default: return FALSE;
  }
}
