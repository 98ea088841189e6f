// The one record of every tunable of the saver and its 1028-byte stored form.
#pragma once

#include <windows.h>
#include <cstdint>

// Every field is read directly by name by the other modules; only the
// settings dialog and the load and reset operations below change them.
struct SettingsRecord {
  // Persisted, in stored order.
  int32_t SnowfallOn;
  int32_t SleighOn;
  int32_t WindOn;
  int32_t SceneryOn;
  int32_t SnowOnMask;
  int32_t SnowOnGround;
  int32_t SleighInWind;
  int32_t SleighKind;
  int32_t FlakeCount;
  int32_t FlakeWobble;
  int32_t FlakeDrift;
  int32_t FlakeSpeed;
  int32_t WindowSnowDepth;
  int32_t GroundSnowDepth;
  int32_t SleighSpeed;
  int32_t FramePeriod;
  int32_t SleighFrameDivider;
  int32_t GustPause;
  int32_t ReservedFlag;
  int32_t PictureLayout;
  char PicturePath[256];
  char MaskPath[256];
  int32_t MaskMaxRects;
  // Stored in the stretch that earlier versions left zero: 1 shows the
  // desktop as it was, with snow on its windows; any other value is off.
  int32_t SnowOnDesktop;
  // Persisted in the stretch that earlier versions left zero: a stored 0
  // reads as the default.
  int32_t GustRiseStep;
  int32_t GustRiseTime;
  int32_t GustFallStep;
  int32_t GustFallTime;

  // Kept for the life of the process only.
  int32_t GustMax;
  int32_t RedNose;
  int32_t SleighClimb;
  int32_t SleighAltVariant;
};

// Sizes and offsets of the stored value.
constexpr DWORD kSettingsValueSize = 1028;
constexpr size_t kPicturePathOffset = 0x200;
constexpr size_t kPicturePathField = 255;
constexpr size_t kMaskPathOffset = 0x2FF;
constexpr size_t kMaskPathField = 257;

extern const char kSettingsKeyPath[];    // under HKEY_CURRENT_USER
extern const char kSettingsValueName[];
extern const char kBuiltinMaskName[];    // MaskPath that selects the built-in mask

const SettingsRecord& Settings();
// Puts a whole record in place of the current one, as the settings dialog
// does after it has read its controls.
void ReplaceSettings(const SettingsRecord& record);
// The process-wide staging buffer that mirrors the registry value.
const uint8_t* SettingsBuffer();

int LoadSettings();    // 1 when the record came from the registry
int SaveSettings();    // 1 on success
void ResetSettings();
void PackSettings();
void UnpackSettings();

// The most flakes there may be: the scene has a slot for each
// (snow/flake_drawing.h).
constexpr int32_t kMostFlakes = 500;

// The range of a number the user types: the settings dialog corrects a
// typed number outside it with a beep, and loading brings a stored one into
// it. Within these ranges no arithmetic on a setting can overflow, and no
// timer runs at 0 or a negative period. Times are in milliseconds, as
// stored; those the dialog shows in whole seconds have their range there in
// whole seconds inside it (at least 1 s).
struct NumberRange {
  int32_t SettingsRecord::*field;
  int32_t lowest;
  int32_t highest;
};
NumberRange RangeOf(int32_t SettingsRecord::*field);

// Brings freshly unpacked values into the ranges the other modules rely on:
// every number into its range (FlakeCount 0..kMostFlakes, SleighFrameDivider at
// least 1, and so on), SleighKind one of the seven sets (the large one
// otherwise), both paths terminated.
void MakeSettingsSafe();
