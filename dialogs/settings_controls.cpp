#include "dialogs/settings_controls.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "images/bmp_loader.h"
#include "resources/resource.h"
#include "scene/scene.h"
#include "settings/settings.h"
#include "snow/cover.h"
#include "snow/flakes.h"
#include "snow/wind.h"
#include "sprites/sleigh.h"
#include "sprites/trees.h"
#include "system/beep.h"
#include "system/process_state.h"

namespace {

using Field = int32_t SettingsRecord::*;

constexpr int kNumberTextSize = 100;
constexpr int kPathTextSize = 255;   // 254 characters and the terminator

constexpr int kSizeRadios[] = {IDC_SLEIGH_SMALL, IDC_SLEIGH_MEDIUM, IDC_SLEIGH_LARGE};
// Small, medium or large for each sprite set.
constexpr int kSizeOfKind[kSleighKinds] = {0, 1, 2, 0, 1, 2, 2};

// Sets one field of the settings record.
void SetSetting(Field field, int32_t value) {
  SettingsRecord r = Settings();
  r.*field = value;
  ReplaceSettings(r);
}

void ShowNumber(HWND dialog, int control, int value) {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  SetDlgItemTextA(dialog, control, text);
}

// What a number typed into an edit reads as: leading blanks, an optional
// sign and the digits up to the first other character. Numbers beyond the
// 32-bit range stop at its ends.
struct TypedNumber {
  int value;
  bool hasDigits;
};
TypedNumber ParseTypedNumber(const char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  const char* digits = text;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (value <= INT_MAX) value = value * 10 + (*text - '0');
  }
  if (negative) value = -value;
  return {static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX)), text != digits};
}

// A corrected number: the beep and the corrected text are all the user
// is told.
int Corrected(HWND dialog, int control, int value) {
  SoundBeep(0);
  ShowNumber(dialog, control, value);
  return value;
}

// The switches, in the order they are read, each with the operation that
// carries out its change; snow on the desktop has none, as a running scene
// shows it by starting afresh, as for a new picture.
struct SwitchControl {
  int control;
  Field field;
  void (*apply)(int newValue, int oldValue);
};
const SwitchControl kSwitches[] = {
    {IDC_SNOWFALL_ON, &SettingsRecord::SnowfallOn, ApplySnowfallSwitch},
    {IDC_SLEIGH_ON, &SettingsRecord::SleighOn, ApplySleighSwitch},
    {IDC_RED_NOSE, &SettingsRecord::RedNose, nullptr},
    {IDC_WIND_ON, &SettingsRecord::WindOn, ApplyWindSwitch},
    {IDC_SCENERY_ON, &SettingsRecord::SceneryOn, ApplyScenerySwitch},
    {IDC_SNOW_ON_MASK, &SettingsRecord::SnowOnMask, ApplySnowOnMask},
    {IDC_SNOW_ON_GROUND, &SettingsRecord::SnowOnGround, ApplySnowOnGround},
    {IDC_SLEIGH_IN_WIND, &SettingsRecord::SleighInWind, nullptr},
    {IDC_SNOW_ON_DESKTOP, &SettingsRecord::SnowOnDesktop, nullptr},
};

// The numbers, in the order they are read. Times in whole seconds are shown
// divided by 1000 and stored multiplied by it.
enum class Unit { Plain, Seconds };
struct NumberControl {
  int control;
  Field field;
  Unit unit;
};
const NumberControl kNumbers[] = {
    {IDC_FLAKE_COUNT, &SettingsRecord::FlakeCount, Unit::Plain},
    {IDC_FLAKE_WOBBLE, &SettingsRecord::FlakeWobble, Unit::Plain},
    {IDC_FLAKE_DRIFT, &SettingsRecord::FlakeDrift, Unit::Plain},
    {IDC_FLAKE_SPEED, &SettingsRecord::FlakeSpeed, Unit::Plain},
    {IDC_WINDOW_SNOW_DEPTH, &SettingsRecord::WindowSnowDepth, Unit::Plain},
    {IDC_GROUND_SNOW_DEPTH, &SettingsRecord::GroundSnowDepth, Unit::Plain},
    {IDC_SLEIGH_SPEED, &SettingsRecord::SleighSpeed, Unit::Plain},
    {IDC_FRAME_PERIOD, &SettingsRecord::FramePeriod, Unit::Plain},
    {IDC_SLEIGH_FRAME_DIVIDER, &SettingsRecord::SleighFrameDivider, Unit::Plain},
    {IDC_GUST_PAUSE, &SettingsRecord::GustPause, Unit::Seconds},
    {IDC_GUST_RISE_STEP, &SettingsRecord::GustRiseStep, Unit::Plain},
    {IDC_GUST_RISE_TIME, &SettingsRecord::GustRiseTime, Unit::Seconds},
    {IDC_GUST_FALL_STEP, &SettingsRecord::GustFallStep, Unit::Plain},
    {IDC_GUST_FALL_TIME, &SettingsRecord::GustFallTime, Unit::Seconds},
};
// The mask's detail, read after the paths and the layout.
const NumberControl kMaskDetail{IDC_MASK_MAX_RECTS, &SettingsRecord::MaskMaxRects, Unit::Plain};

// The number typed into the c's edit as stored: text without digits,
// or a number outside the field's range, is corrected to the nearest end of
// the range (in whole seconds, at least 1, for a time shown in seconds).
// Only a negative flake count becomes 0 silently, its text left as typed.
int CorrectedNumber(HWND dialog, const NumberControl& c) {
  char text[kNumberTextSize] = "";
  GetDlgItemTextA(dialog, c.control, text, kNumberTextSize);
  const TypedNumber typed = ParseTypedNumber(text);
  const NumberRange range = RangeOf(c.field);
  const int perShown = c.unit == Unit::Seconds ? 1000 : 1;
  const int lowest = perShown == 1 ? range.lowest : std::max(1, (range.lowest + perShown - 1) / perShown);
  const int highest = range.highest / perShown;
  if (c.control == IDC_FLAKE_COUNT && typed.hasDigits && typed.value < 0) return 0;
  if (typed.hasDigits && typed.value >= lowest && typed.value <= highest) return typed.value * perShown;
  return Corrected(dialog, c.control, std::clamp(typed.value, lowest, highest)) * perShown;
}

// Carries out a number's change in the scene, given the value before.
void ApplyNumberChange(const NumberControl& c, int previous) {
  const SettingsRecord& s = Settings();
  switch (c.control) {
    case IDC_FLAKE_COUNT: ApplyFlakeCount(s.FlakeCount, previous); break;
    case IDC_WINDOW_SNOW_DEPTH: ApplySnowDepth(s.WindowSnowDepth, previous); break;
    case IDC_GROUND_SNOW_DEPTH: ApplySnowDepth(s.GroundSnowDepth, previous); break;
    case IDC_FRAME_PERIOD: ApplyFrameInterval(s.FramePeriod, previous); break;
    default: break;
  }
}

// The gust timings: new periods re-arm the timers of the wind's phase, and
// only new ones, so that clicks leave the calm before a gust running.
bool IsGustTiming(int control) {
  return control == IDC_GUST_PAUSE || control == IDC_GUST_RISE_STEP || control == IDC_GUST_RISE_TIME ||
         control == IDC_GUST_FALL_STEP || control == IDC_GUST_FALL_TIME;
}

// The sleigh's sprite set from the size radios, the red nose and the
// blinking variant.
void ApplySleighKind(HWND dialog, int previousRedNose) {
  const SettingsRecord& s = Settings();
  const int previousKind = s.SleighKind;
  int kind = previousKind;
  const int red = s.RedNose != 0;
  if (IsDlgButtonChecked(dialog, IDC_SLEIGH_LARGE)) kind = red ? 5 : 2;
  if (IsDlgButtonChecked(dialog, IDC_SLEIGH_MEDIUM)) kind = red ? 4 : 1;
  if (IsDlgButtonChecked(dialog, IDC_SLEIGH_SMALL)) kind = red ? 3 : 0;
  if (s.SleighAltVariant && kind == 5) kind = 6;
  SetSetting(&SettingsRecord::SleighKind, kind);
  if (kind != previousKind || s.RedNose != previousRedNose) {
    ChangeSleighKind(Process().instance, kind);
  }
}

void ReadPath(HWND dialog, int control, char (SettingsRecord::*field)[256]) {
  SettingsRecord r = Settings();
  GetDlgItemTextA(dialog, control, r.*field, kPathTextSize);
  const bool changed = strcmp(r.*field, Settings().*field) != 0;
  ReplaceSettings(r);
  if (changed) ReportUnreadableFile(dialog, control, r.*field);
}

// The picture's layout from its radios.
void ApplyLayout(HWND dialog) {
  int layout = Settings().PictureLayout;
  if (IsDlgButtonChecked(dialog, IDC_LAYOUT_STRETCHED)) {
    layout = 0;
  } else if (IsDlgButtonChecked(dialog, IDC_LAYOUT_CENTRED)) {
    layout = 1;
  } else if (IsDlgButtonChecked(dialog, IDC_LAYOUT_TILED)) {
    layout = 2;
  }
  SetSetting(&SettingsRecord::PictureLayout, layout);
}

// What the background (the desktop or the picture), the mask and their
// layout are made from.
bool SameBackgroundAndMask(const SettingsRecord& a, const SettingsRecord& b) {
  return strcmp(a.PicturePath, b.PicturePath) == 0 && strcmp(a.MaskPath, b.MaskPath) == 0 &&
         a.PictureLayout == b.PictureLayout && a.MaskMaxRects == b.MaskMaxRects &&
         a.SnowOnDesktop == b.SnowOnDesktop;
}

// The fields the controls show, each as the other record has it.
SettingsRecord WithControlledFields(SettingsRecord r, const SettingsRecord& from) {
  for (const SwitchControl& c : kSwitches) r.*c.field = from.*c.field;
  for (const NumberControl& c : kNumbers) r.*c.field = from.*c.field;
  r.SleighKind = from.SleighKind;
  memcpy(r.PicturePath, from.PicturePath, sizeof r.PicturePath);
  memcpy(r.MaskPath, from.MaskPath, sizeof r.MaskPath);
  r.PictureLayout = from.PictureLayout;
  r.MaskMaxRects = from.MaskMaxRects;
  return r;
}

}  // namespace

void ReportFileFailure(HWND dialog, int pathEdit, const char* path) {
  ReportBmpFailure(dialog, pathEdit == IDC_PICTURE_PATH ? "Picture" : "Mask", path, kUnreadablePictureText);
}

void ReportUnreadableFile(HWND dialog, int pathEdit, const char* path) {
  const bool builtin = pathEdit == IDC_MASK_PATH && strcmp(path, kBuiltinMaskName) == 0;
  if (path[0] != 0 && !builtin && !CanReadBmpFile(path)) ReportFileFailure(dialog, pathEdit, path);
}

void CheckSleighSizeRadio(HWND dialog, int size) {
  if (size < 0 || size > 2) return;
  CheckRadioButton(dialog, IDC_SLEIGH_SMALL, IDC_SLEIGH_LARGE, kSizeRadios[size]);
}

void CheckLayoutRadio(HWND dialog, int layout) {
  // A damaged layout shows as stretched, the layout the saver falls back
  // to for a picture that cannot be placed.
  if (layout < 0 || layout > 2) layout = 0;
  CheckRadioButton(dialog, IDC_LAYOUT_STRETCHED, IDC_LAYOUT_TILED, IDC_LAYOUT_STRETCHED + layout);
}

void FillSettingsControls(HWND dialog) {
  const SettingsRecord& s = Settings();
  for (const SwitchControl& c : kSwitches) {
    if (c.control == IDC_RED_NOSE) continue;  // from the sleigh kind below
    CheckDlgButton(dialog, c.control, s.*c.field ? BST_CHECKED : BST_UNCHECKED);
  }
  for (const NumberControl& c : kNumbers) {
    const int value = s.*c.field;
    ShowNumber(dialog, c.control, c.unit == Unit::Seconds ? value / 1000 : value);
  }
  ShowNumber(dialog, IDC_GUST_MAXIMUM, s.GustMax);
  SetDlgItemTextA(dialog, IDC_PICTURE_PATH, s.PicturePath);
  SetDlgItemTextA(dialog, IDC_MASK_PATH, s.MaskPath);
  CheckLayoutRadio(dialog, s.PictureLayout);
  ShowNumber(dialog, IDC_MASK_MAX_RECTS, s.MaskMaxRects);
  const int kind = s.SleighKind >= 0 && s.SleighKind < kSleighKinds ? s.SleighKind : 2;
  CheckSleighSizeRadio(dialog, kSizeOfKind[kind]);
  CheckDlgButton(dialog, IDC_RED_NOSE, kind >= 3 ? BST_CHECKED : BST_UNCHECKED);
  // The blinking nose can only be chosen with Alt held; a stored one is
  // kept until the user chooses again.
  SetSetting(&SettingsRecord::SleighAltVariant, kind == 6 ? 1 : 0);
}

void ApplySettingsControls(HWND dialog) {
  const SettingsRecord before = Settings();
  int previousRedNose = 0;
  for (const SwitchControl& c : kSwitches) {
    const int previous = Settings().*c.field;
    const int now = IsDlgButtonChecked(dialog, c.control) == BST_CHECKED ? 1 : 0;
    SetSetting(c.field, now);
    if (c.apply) c.apply(now, previous);
    if (c.control == IDC_RED_NOSE) previousRedNose = previous;
  }
  // Every number is read before any is applied, so that new flakes fall
  // at the new speed.
  for (const NumberControl& c : kNumbers) {
    SetSetting(c.field, CorrectedNumber(dialog, c));
  }
  bool newGusts = false;
  for (const NumberControl& c : kNumbers) {
    const int previous = before.*c.field;
    ApplyNumberChange(c, previous);
    newGusts = newGusts || (IsGustTiming(c.control) && Settings().*c.field != previous);
  }
  if (newGusts) RearmWindTimers();
  ApplySleighKind(dialog, previousRedNose);
  ReadPath(dialog, IDC_PICTURE_PATH, &SettingsRecord::PicturePath);
  ReadPath(dialog, IDC_MASK_PATH, &SettingsRecord::MaskPath);
  ApplyLayout(dialog);
  SetSetting(&SettingsRecord::MaskMaxRects, CorrectedNumber(dialog, kMaskDetail));
  if (!SameBackgroundAndMask(before, Settings())) ApplyPictureAndMask();
}

void ShowReloadedSettings(HWND dialog, const SettingsRecord& shown) {
  FillSettingsControls(dialog);
  ReplaceSettings(WithControlledFields(Settings(), shown));
  ApplySettingsControls(dialog);
}
