// The settings record and its 1028-byte value in the real registry.
#include <gtest/gtest.h>

#include <cstring>

#include "settings/settings.h"
#include "snow/wind.h"
#include "support/test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

int32_t IntAt(const uint8_t* p, size_t offset) {
  int32_t v;
  memcpy(&v, p + offset, 4);
  return v;
}
void PutInt(Bytes& v, size_t offset, int32_t x) { memcpy(&v[offset], &x, 4); }

void WriteValue(const Bytes& bytes) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegSetValueExA(key, kSettingsValueName, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

class SettingsStore : public testing::Test {
 protected:
  void SetUp() override {
    ClearStoredSettings();
    ResetSettingsProcessState();
  }
  void TearDown() override { ClearStoredSettings(); }
};

TEST_F(SettingsStore, FirstLoadGivesDefaultsAndASaveWritesTheirLayout) {
  EXPECT_EQ(0, LoadSettings());
  bool key = false;
  EXPECT_TRUE(StoredSettingsValue(&key).empty()) << "nothing is written until a save";
  EXPECT_TRUE(key) << "the key is created even when only reading";
  EXPECT_EQ(std::pair(100, 40), std::pair(Settings().GustRiseStep, Settings().GustMax));

  ASSERT_EQ(1, SaveSettings());
  const Bytes v = StoredSettingsValue();
  ASSERT_EQ(1028u, v.size());
  EXPECT_EQ(Bytes(0x20, 0), Bytes(v.begin(), v.begin() + 0x20)) << "reserved";
  EXPECT_EQ(Bytes(4, 0), Bytes(v.begin() + 0x6C, v.begin() + 0x70)) << "reserved";
  EXPECT_EQ(Bytes(0x1FC - 0x80, 0), Bytes(v.begin() + 0x80, v.begin() + 0x1FC)) << "reserved";
  const int32_t gusts[4] = {100, 6000, 100, 4000};  // rise step, rise time, fall step, fall time
  for (int i = 0; i < 4; ++i) EXPECT_EQ(gusts[i], IntAt(v.data(), 0x70 + 4 * i)) << i;
  const int32_t defaults[19] = {1, 1, 1, 17, 1, 1, 1, 2, 50, 2, 2, 10, 15, 40, 4, 50, 4, 30000, 1};
  for (int i = 0; i < 19; ++i) EXPECT_EQ(defaults[i], IntAt(v.data(), 0x20 + 4 * i)) << i;
  EXPECT_EQ(0, IntAt(v.data(), 0x1FC));
  EXPECT_EQ(0, v[0x200]) << "empty picture path";
  EXPECT_EQ(0, memcmp(v.data() + 0x2FF, "Vavovoraze 2000 rara", 21));
  EXPECT_EQ(20000, IntAt(v.data(), 0x400));
}

TEST_F(SettingsStore, RoundTripKeepsFieldsAndReservedBytes) {
  Bytes v(1028, 0);
  for (size_t i = 0; i < 0x20; ++i) v[i] = static_cast<uint8_t>(0xA0 + i);
  for (size_t i = 0x6C; i < 0x1FC; ++i) v[i] = static_cast<uint8_t>(i * 7);
  PutInt(v, 0x6C, 1);  // snow on the desktop
  const int32_t fields[19] = {0, 1, 0, 5, 0, 1, 0, 4, 321, 3, 4, 12, 9, 60, 7, 40, 2, 15000, 9};
  for (int i = 0; i < 19; ++i) PutInt(v, 0x20 + 4 * i, fields[i]);
  PutInt(v, 0x1FC, 2);
  strcpy(reinterpret_cast<char*>(&v[0x200]), "C:\\pictures\\winter.bmp");
  strcpy(reinterpret_cast<char*>(&v[0x2FF]), "C:\\masks\\star.bmp");
  PutInt(v, 0x400, 12345);
  const int32_t gusts[4] = {70, 7000, 80, 8000};  // rise step, rise time, fall step, fall time
  for (int i = 0; i < 4; ++i) PutInt(v, 0x70 + 4 * i, gusts[i]);
  WriteValue(v);

  ASSERT_EQ(1, LoadSettings());
  const SettingsRecord& s = Settings();
  const int32_t read[19] = {s.SnowfallOn, s.SleighOn, s.WindOn, s.SceneryOn, s.SnowOnMask,
      s.SnowOnGround, s.SleighInWind, s.SleighKind, s.FlakeCount, s.FlakeWobble, s.FlakeDrift,
      s.FlakeSpeed, s.WindowSnowDepth, s.GroundSnowDepth, s.SleighSpeed, s.FramePeriod,
      s.SleighFrameDivider, s.GustPause, s.ReservedFlag};
  for (int i = 0; i < 19; ++i) EXPECT_EQ(fields[i], read[i]) << i;
  EXPECT_EQ(std::tuple(2, std::string("C:\\pictures\\winter.bmp"), std::string("C:\\masks\\star.bmp"), 12345),
            std::tuple(s.PictureLayout, std::string(s.PicturePath), std::string(s.MaskPath), s.MaskMaxRects));
  EXPECT_EQ(std::tuple(70, 7000, 80, 8000), std::tuple(s.GustRiseStep, s.GustRiseTime, s.GustFallStep, s.GustFallTime));
  EXPECT_EQ(1, s.SnowOnDesktop);
  ClearStoredSettings();
  ASSERT_EQ(1, SaveSettings());
  EXPECT_EQ(v, StoredSettingsValue()) << "reserved bytes from the registry are written back unchanged";

  SettingsRecord shorter = s;
  strcpy(shorter.PicturePath, "a");
  ReplaceSettings(shorter);
  PackSettings();
  const char* field = reinterpret_cast<const char*>(SettingsBuffer() + 0x200);
  EXPECT_STREQ("a", field);
  EXPECT_STREQ("\\pictures\\winter.bmp", field + 2) << "the old tail stays inside its field";
}

// Snow on the desktop is on for a stored 1 alone. A save writes 1 or 0 at
// 0x06C; the reserved stretch after the gust timings keeps the bytes that
// were read.
TEST_F(SettingsStore, SnowOnDesktopAt0x06COnlyAStored1IsOn) {
  const struct { int32_t stored, read; } cases[] = {{1, 1}, {0, 0}, {2, 0}, {-1, 0}, {0x101, 0}, {0x1000000, 0}};
  for (const auto& c : cases) {
    Bytes v(1028, 0);
    for (size_t i = 0x80; i < 0x1FC; ++i) v[i] = static_cast<uint8_t>(i * 13 + 1);
    PutInt(v, 0x6C, c.stored);
    WriteValue(v);
    ASSERT_EQ(1, LoadSettings());
    EXPECT_EQ(c.read, Settings().SnowOnDesktop) << c.stored;
    for (int on : {0, 1}) {
      ChangeSettings([on](SettingsRecord& r) { r.SnowOnDesktop = on; });
      ASSERT_EQ(1, SaveSettings());
      const Bytes w = StoredSettingsValue();
      EXPECT_EQ(on, IntAt(w.data(), 0x6C)) << c.stored;
      EXPECT_EQ(Bytes(v.begin() + 0x80, v.begin() + 0x1FC), Bytes(w.begin() + 0x80, w.begin() + 0x1FC)) << c.stored;
    }
  }
  ResetSettings();
  EXPECT_EQ(0, Settings().SnowOnDesktop) << "factory settings leave it off";
}

TEST_F(SettingsStore, ShortOverlongAndDamagedValues) {
  Bytes v(100, 0);
  PutInt(v, 0x40, 77);
  WriteValue(v);
  ASSERT_EQ(1, LoadSettings());
  EXPECT_EQ(77, Settings().FlakeCount);
  EXPECT_STREQ("", Settings().MaskPath) << "a short value replaces only its own bytes";
  const SettingsRecord& g = Settings();
  EXPECT_EQ(std::tuple(100, 6000, 100, 4000), std::tuple(g.GustRiseStep, g.GustRiseTime, g.GustFallStep,
                                                         g.GustFallTime)) << "gust timings stored as 0 read as their defaults";

  WriteValue(Bytes(2000, 0x5A));
  EXPECT_EQ(0, LoadSettings());
  EXPECT_EQ(50, Settings().FlakeCount) << "an overlong value gives the defaults";
  EXPECT_EQ(0, SettingsBuffer()[0]) << "and leaves the buffer's reserved bytes alone";
  EXPECT_EQ(2000u, StoredSettingsValue().size()) << "a failed read never writes";

  v.assign(1028, 0);
  PutInt(v, 0x40, 100000);  // FlakeCount far beyond the table
  PutInt(v, 0x60, 0);       // SleighFrameDivider 0
  PutInt(v, 0x4C, -7);      // FlakeSpeed below its 3
  memset(&v[0x200], 'p', 255);  // paths without a terminator in their fields
  memset(&v[0x2FF], 'm', 257);
  WriteValue(v);
  ASSERT_EQ(1, LoadSettings());
  EXPECT_EQ(500, Settings().FlakeCount);
  EXPECT_EQ(1, Settings().SleighFrameDivider);
  EXPECT_EQ(3, Settings().FlakeSpeed);
  EXPECT_EQ(std::string(254, 'p'), Settings().PicturePath);
  EXPECT_EQ(std::string(255, 'm'), Settings().MaskPath);
  PutInt(v, 0x40, -3);
  WriteValue(v);
  LoadSettings();
  EXPECT_EQ(0, Settings().FlakeCount);

  SettingsRecord overlong = Settings();
  memset(overlong.PicturePath, 'x', 255);
  overlong.PicturePath[255] = 0;
  ReplaceSettings(overlong);
  PackSettings();
  EXPECT_EQ(0, SettingsBuffer()[0x2FE]) << "a path is terminated inside its own field";
  EXPECT_EQ('m', SettingsBuffer()[0x2FF]) << "the mask path is untouched";
}

// Every stored number at the ends of its type and around 0, loaded by a
// scene: numbers come into their ranges, the switches keep their values,
// and a scene runs a whole gust with them.
TEST_F(SettingsStore, EveryStoredNumberAtItsExtremesIsSafe) {
  using Field = int32_t SettingsRecord::*;
  constexpr int32_t kMin = INT32_MIN, kMax = INT32_MAX;
  const struct { Field field; int32_t loaded[4]; } kFields[] = {  // INT_MIN, -1, 0, INT_MAX
      {&SettingsRecord::SnowfallOn, {kMin, -1, 0, kMax}},    {&SettingsRecord::SleighOn, {kMin, -1, 0, kMax}},
      {&SettingsRecord::WindOn, {kMin, -1, 0, kMax}},        {&SettingsRecord::SceneryOn, {kMin, -1, 0, kMax}},
      {&SettingsRecord::SnowOnMask, {kMin, -1, 0, kMax}},    {&SettingsRecord::SnowOnGround, {kMin, -1, 0, kMax}},
      {&SettingsRecord::SleighInWind, {kMin, -1, 0, kMax}},  {&SettingsRecord::SleighKind, {2, 2, 0, 2}},
      {&SettingsRecord::FlakeCount, {0, 0, 0, 500}},         {&SettingsRecord::FlakeWobble, {0, 0, 0, 100}},
      {&SettingsRecord::FlakeDrift, {0, 0, 0, 100}},         {&SettingsRecord::FlakeSpeed, {3, 3, 3, 100}},
      {&SettingsRecord::WindowSnowDepth, {0, 0, 0, 1000}},   {&SettingsRecord::GroundSnowDepth, {0, 0, 0, 1000}},
      {&SettingsRecord::SleighSpeed, {1, 1, 1, 10000}},      {&SettingsRecord::FramePeriod, {10, 10, 10, 1000}},
      {&SettingsRecord::SleighFrameDivider, {1, 1, 1, 100}}, {&SettingsRecord::GustPause, {10, 10, 10, 3600000}},
      {&SettingsRecord::ReservedFlag, {kMin, -1, 0, kMax}},  {&SettingsRecord::PictureLayout, {kMin, -1, 0, kMax}},
      {&SettingsRecord::MaskMaxRects, {1, 1, 1, 1000000}},
  };
  const int32_t kExtremes[] = {kMin, -1, 0, kMax};
  for (int e = 0; e < 4; ++e) {
    HWND saver = StartSaver([&](SettingsRecord& s) {
      for (const auto& f : kFields) s.*f.field = kExtremes[e];
    });
    for (const auto& f : kFields) EXPECT_EQ(f.loaded[e], Settings().*f.field) << kExtremes[e] << ", field " << &f - kFields;
    for (UINT_PTR timer : {kCalmTimer, kRiseStepTimer, kRiseEndTimer, kFallStepTimer, kFallEndTimer}) {
      RunFrames(saver, 50);
      RunWindTimer(saver, timer);
    }
    StopSaver(saver);
  }
}

}  // namespace
