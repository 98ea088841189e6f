#include "settings/settings.h"

#include <algorithm>
#include <cstring>

const char kSettingsKeyPath[] = "Software\\Orwenk\\Nivalo\\ScreenSaverSettings";
const char kSettingsValueName[] = "Nivalo settings";
const char kBuiltinMaskName[] = "Vavovoraze 2000 rara";

namespace {

constexpr size_t kFirstIntegerOffset = 0x020;
constexpr size_t kPictureLayoutOffset = 0x1FC;
constexpr size_t kMaskMaxRectsOffset = 0x400;
constexpr size_t kSnowOnDesktopOffset = 0x06C;

// The ranges of the numbers. The scene has kMostFlakes flake slots; a flake
// falls at least 3 pixels a frame; the sleigh moves forward, and a speed
// past any screen's width moves it no faster; the sleigh moves every n-th
// frame for n of at least 1; 10 ms is the shortest period of a system timer,
// and an hour the longest wait for a gust.
constexpr int32_t kLongestTime = 3600 * 1000;
constexpr NumberRange kRanges[] = {
    {&SettingsRecord::FlakeCount, 0, kMostFlakes},
    {&SettingsRecord::FlakeWobble, 0, 100},
    {&SettingsRecord::FlakeDrift, 0, 100},
    {&SettingsRecord::FlakeSpeed, 3, 100},
    {&SettingsRecord::WindowSnowDepth, 0, 1000},
    {&SettingsRecord::GroundSnowDepth, 0, 1000},
    {&SettingsRecord::SleighSpeed, 1, 10000},
    {&SettingsRecord::FramePeriod, 10, 1000},
    {&SettingsRecord::SleighFrameDivider, 1, 100},
    {&SettingsRecord::GustPause, 10, kLongestTime},
    {&SettingsRecord::GustRiseStep, 10, 10000},
    {&SettingsRecord::GustRiseTime, 10, kLongestTime},
    {&SettingsRecord::GustFallStep, 10, 10000},
    {&SettingsRecord::GustFallTime, 10, kLongestTime},
    {&SettingsRecord::MaskMaxRects, 1, 1000000},
};

// The gust timings, stored one after another from offset 0x070 with their
// defaults; 0x06C stays free.
constexpr size_t kGustTimingsOffset = 0x070;
struct GustTiming {
  int32_t SettingsRecord::*field;
  int32_t standard;
};
constexpr GustTiming kGustTimings[] = {
    {&SettingsRecord::GustRiseStep, 100},
    {&SettingsRecord::GustRiseTime, 6000},
    {&SettingsRecord::GustFallStep, 100},
    {&SettingsRecord::GustFallTime, 4000},
};

// The fields that have a default, and their defaults.
void SetDefaults(SettingsRecord& r) {
  r.SnowfallOn = 1;
  r.SleighOn = 1;
  r.WindOn = 1;
  r.SceneryOn = 17;
  r.SnowOnMask = 1;
  r.SnowOnGround = 1;
  r.SleighInWind = 1;
  r.SleighKind = 2;
  r.FlakeCount = 50;
  r.FlakeWobble = 2;
  r.FlakeDrift = 2;
  r.FlakeSpeed = 10;
  r.WindowSnowDepth = 15;
  r.GroundSnowDepth = 40;
  r.SleighSpeed = 4;
  r.FramePeriod = 50;
  r.SleighFrameDivider = 4;
  r.GustPause = 30000;
  r.ReservedFlag = 1;
  r.PictureLayout = 0;
  r.PicturePath[0] = 0;
  strcpy(r.MaskPath, kBuiltinMaskName);
  r.MaskMaxRects = 20000;
  r.SnowOnDesktop = 0;
  for (const GustTiming& g : kGustTimings) r.*g.field = g.standard;
  r.RedNose = 0;
  r.SleighClimb = 1;
}

// The record when the process starts: the defaults, and the start values of
// the fields that the defaults leave alone.
SettingsRecord StartRecord() {
  SettingsRecord r{};
  SetDefaults(r);
  r.GustMax = 40;
  return r;
}

SettingsRecord record = StartRecord();
uint8_t staging[kSettingsValueSize];

// The nineteen integers stored one after another from offset 0x020.
int32_t* const kIntegerFields[] = {
    &record.SnowfallOn,      &record.SleighOn,        &record.WindOn,
    &record.SceneryOn,       &record.SnowOnMask,      &record.SnowOnGround,
    &record.SleighInWind,    &record.SleighKind,      &record.FlakeCount,
    &record.FlakeWobble,     &record.FlakeDrift,      &record.FlakeSpeed,
    &record.WindowSnowDepth, &record.GroundSnowDepth, &record.SleighSpeed,
    &record.FramePeriod,     &record.SleighFrameDivider, &record.GustPause,
    &record.ReservedFlag,
};

void PutInt(size_t offset, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) staging[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

int32_t GetInt(size_t offset) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(staging[offset + i]) << (8 * i);
  return static_cast<int32_t>(v);
}

// Copies a string with its terminator into a stored field, never past the
// field's end; the bytes after the terminator keep what they held.
void PutString(size_t offset, size_t field, const char* text) {
  size_t n = strnlen(text, field - 1);
  memcpy(staging + offset, text, n);
  staging[offset + n] = 0;
}

// Copies a stored string into a 256-byte record buffer. The copy stops at the
// terminator, at the field's end or at the buffer's end, whichever is first,
// and is always terminated.
void GetString(size_t offset, size_t field, char (&out)[256]) {
  size_t limit = field < sizeof out ? field : sizeof out - 1;
  const char* src = reinterpret_cast<const char*>(staging + offset);
  size_t n = strnlen(src, limit);
  memcpy(out, src, n);
  out[n] = 0;
}

void Terminate(char* text, size_t maxChars) {
  text[strnlen(text, maxChars)] = 0;
}

}  // namespace

const SettingsRecord& Settings() { return record; }
void ReplaceSettings(const SettingsRecord& r) { record = r; }
const uint8_t* SettingsBuffer() { return staging; }

void ResetSettings() { SetDefaults(record); }

void PackSettings() {
  size_t offset = kFirstIntegerOffset;
  for (int32_t* field : kIntegerFields) {
    PutInt(offset, *field);
    offset += 4;
  }
  PutString(kPicturePathOffset, kPicturePathField, record.PicturePath);
  PutString(kMaskPathOffset, kMaskPathField, record.MaskPath);
  PutInt(kPictureLayoutOffset, record.PictureLayout);
  PutInt(kMaskMaxRectsOffset, record.MaskMaxRects);
  PutInt(kSnowOnDesktopOffset, record.SnowOnDesktop == 1 ? 1 : 0);
  offset = kGustTimingsOffset;
  for (const GustTiming& g : kGustTimings) {
    PutInt(offset, record.*g.field);
    offset += 4;
  }
}

void UnpackSettings() {
  size_t offset = kFirstIntegerOffset;
  for (int32_t* field : kIntegerFields) {
    *field = GetInt(offset);
    offset += 4;
  }
  GetString(kPicturePathOffset, kPicturePathField, record.PicturePath);
  GetString(kMaskPathOffset, kMaskPathField, record.MaskPath);
  record.PictureLayout = GetInt(kPictureLayoutOffset);
  record.MaskMaxRects = GetInt(kMaskMaxRectsOffset);
  record.SnowOnDesktop = GetInt(kSnowOnDesktopOffset) == 1 ? 1 : 0;
  offset = kGustTimingsOffset;
  for (const GustTiming& g : kGustTimings) {
    const int32_t stored = GetInt(offset);
    record.*g.field = stored != 0 ? stored : g.standard;
    offset += 4;
  }
}

NumberRange RangeOf(int32_t SettingsRecord::*field) {
  for (const NumberRange& range : kRanges) {
    if (range.field == field) return range;
  }
  return NumberRange{field, INT32_MIN, INT32_MAX};
}

void MakeSettingsSafe() {
  for (const NumberRange& range : kRanges) {
    record.*range.field = std::clamp(record.*range.field, range.lowest, range.highest);
  }
  if (record.SleighKind < 0 || record.SleighKind > 6) record.SleighKind = 2;  // the large sleigh
  Terminate(record.PicturePath, kPicturePathField - 1);
  Terminate(record.MaskPath, sizeof record.MaskPath - 1);
}

int LoadSettings() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  LONG opened = RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &key, &disposition);
  LONG read = ERROR_INVALID_HANDLE;
  if (opened == ERROR_SUCCESS) {
    // Read into a scratch copy so that a failed read (a value too long, say)
    // leaves the staging buffer exactly as it was.
    uint8_t incoming[kSettingsValueSize];
    DWORD size = kSettingsValueSize;
    read = RegQueryValueExA(key, kSettingsValueName, nullptr, nullptr, incoming, &size);
    if (read == ERROR_SUCCESS) memcpy(staging, incoming, size);
    RegCloseKey(key);
  }
  if (read != ERROR_SUCCESS) {
    ResetSettings();
    PackSettings();
    return 0;
  }
  UnpackSettings();
  MakeSettingsSafe();
  return 1;
}

int SaveSettings() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return 0;
  }
  PackSettings();
  LONG written = RegSetValueExA(key, kSettingsValueName, 0, REG_BINARY, staging,
                                kSettingsValueSize);
  RegCloseKey(key);
  return written == ERROR_SUCCESS ? 1 : 0;
}

// A test seam (tests/support/seams.h); the program never calls it.
void ResetSettingsProcessState() {
  record = StartRecord();
  memset(staging, 0, sizeof staging);
}
