#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "settings/settings.h"
#include "support/test_support.h"

namespace {

int32_t IntAt(const uint8_t* p, size_t offset) {
  int32_t v;
  memcpy(&v, p + offset, 4);
  return v;
}

HKEY OpenSettingsKey() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

void WriteRawValue(const std::vector<uint8_t>& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, kSettingsValueName, 0, REG_BINARY, bytes.data(),
                                          static_cast<DWORD>(bytes.size())));
  RegCloseKey(key);
}

std::vector<uint8_t> ReadRawValue() {
  std::vector<uint8_t> bytes(4096);
  HKEY key = OpenSettingsKey();
  if (!key) return {};
  DWORD size = static_cast<DWORD>(bytes.size());
  DWORD type = 0;
  LONG r = RegQueryValueExA(key, kSettingsValueName, nullptr, &type, bytes.data(), &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return {};
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
  bytes.resize(size);
  return bytes;
}

class SettingsStore : public testing::Test {
 protected:
  void SetUp() override {
    ClearStoredSettings();
    ResetSettingsProcessState();
  }
  void TearDown() override { ClearStoredSettings(); }
};

TEST_F(SettingsStore, FirstLoadCreatesKeyAppliesDefaultsAndWritesNothing) {
  EXPECT_EQ(0, LoadSettings());
  HKEY key = OpenSettingsKey();
  ASSERT_NE(nullptr, key) << "the key is created even when only reading";
  RegCloseKey(key);
  EXPECT_TRUE(ReadRawValue().empty()) << "the value exists only after a save";

  const SettingsRecord& s = Settings();
  EXPECT_EQ(50, s.FlakeCount);
  EXPECT_EQ(17, s.SceneryOn);
  EXPECT_EQ(2, s.SleighKind);
  EXPECT_EQ(30000, s.GustPause);
  EXPECT_EQ(20000, s.MaskMaxRects);
  EXPECT_STREQ("", s.PicturePath);
  EXPECT_STREQ("Vavovoraze 2000 rara", s.MaskPath);
  EXPECT_EQ(100, s.GustRiseStep);
  EXPECT_EQ(40, s.GustMax);
  EXPECT_EQ(1, s.SleighClimb);
}

TEST_F(SettingsStore, SaveAfterFailedLoadWritesTheDocumentedLayout) {
  LoadSettings();
  ASSERT_EQ(1, SaveSettings());
  std::vector<uint8_t> v = ReadRawValue();
  ASSERT_EQ(1028u, v.size());
  for (size_t i = 0; i < 0x20; ++i) EXPECT_EQ(0, v[i]) << "reserved byte " << i;
  for (size_t i = 0x6C; i < 0x1FC; ++i) EXPECT_EQ(0, v[i]) << "reserved byte " << i;
  const int32_t expected[19] = {1, 1, 1, 17, 1, 1, 1, 2, 50, 2, 2, 10, 15, 40, 4, 50, 4, 30000, 1};
  for (int i = 0; i < 19; ++i) EXPECT_EQ(expected[i], IntAt(v.data(), 0x20 + 4 * i)) << i;
  EXPECT_EQ(17, IntAt(v.data(), 0x2C));
  EXPECT_EQ(1, IntAt(v.data(), 0x68));
  EXPECT_EQ(0, IntAt(v.data(), 0x1FC));
  EXPECT_EQ(0, v[0x200]) << "empty picture path";
  EXPECT_EQ(0, memcmp(v.data() + 0x2FF, "Vavovoraze 2000 rara", 21));
  EXPECT_EQ(20000, IntAt(v.data(), 0x400));
  EXPECT_EQ(0, memcmp(v.data(), SettingsBuffer(), 1028));
}

TEST_F(SettingsStore, RoundTripKeepsFieldsAndReservedBytes) {
  std::vector<uint8_t> v(1028, 0);
  for (size_t i = 0; i < 0x20; ++i) v[i] = static_cast<uint8_t>(0xA0 + i);
  for (size_t i = 0x6C; i < 0x1FC; ++i) v[i] = static_cast<uint8_t>(i * 7);
  auto put = [&](size_t off, int32_t x) { memcpy(&v[off], &x, 4); };
  const int32_t fields[19] = {0, 1, 0, 5, 0, 1, 0, 4, 321, 3, 4, 12, 9, 60, 7, 40, 2, 15000, 9};
  for (int i = 0; i < 19; ++i) put(0x20 + 4 * i, fields[i]);
  put(0x1FC, 2);
  strcpy(reinterpret_cast<char*>(&v[0x200]), "C:\\pictures\\winter.bmp");
  strcpy(reinterpret_cast<char*>(&v[0x2FF]), "C:\\masks\\star.bmp");
  put(0x400, 12345);
  WriteRawValue(v);

  ASSERT_EQ(1, LoadSettings());
  const SettingsRecord& s = Settings();
  EXPECT_EQ(0, s.SnowfallOn);
  EXPECT_EQ(5, s.SceneryOn);
  EXPECT_EQ(4, s.SleighKind);
  EXPECT_EQ(321, s.FlakeCount);
  EXPECT_EQ(60, s.GroundSnowDepth);
  EXPECT_EQ(15000, s.GustPause);
  EXPECT_EQ(9, s.ReservedFlag);
  EXPECT_EQ(2, s.PictureLayout);
  EXPECT_STREQ("C:\\pictures\\winter.bmp", s.PicturePath);
  EXPECT_STREQ("C:\\masks\\star.bmp", s.MaskPath);
  EXPECT_EQ(12345, s.MaskMaxRects);

  ClearStoredSettings();
  ASSERT_EQ(1, SaveSettings());
  EXPECT_EQ(v, ReadRawValue()) << "reserved bytes from the registry are written back unchanged";
}

TEST_F(SettingsStore, ShortValueReplacesOnlyItsOwnBytes) {
  std::vector<uint8_t> v(100, 0);
  int32_t count = 77;
  memcpy(&v[0x40], &count, 4);
  int32_t sceneryOn = 3;
  memcpy(&v[0x2C], &sceneryOn, 4);
  WriteRawValue(v);
  ASSERT_EQ(1, LoadSettings());
  EXPECT_EQ(77, Settings().FlakeCount);
  EXPECT_EQ(3, Settings().SceneryOn);
  // Offsets from 100 on kept the buffer's content of process start: zero.
  EXPECT_EQ(0, Settings().GustPause);
  EXPECT_EQ(0, Settings().ReservedFlag);
  EXPECT_STREQ("", Settings().PicturePath);
  EXPECT_STREQ("", Settings().MaskPath);
  EXPECT_EQ(0, Settings().PictureLayout);
}

TEST_F(SettingsStore, OverlongValueFailsToDefaultsAndLeavesBufferAlone) {
  std::vector<uint8_t> v(2000, 0x5A);
  WriteRawValue(v);
  EXPECT_EQ(0, LoadSettings());
  EXPECT_EQ(50, Settings().FlakeCount);
  for (size_t i = 0; i < 0x20; ++i) ASSERT_EQ(0, SettingsBuffer()[i]) << "reserved byte " << i;
  EXPECT_EQ(2000u, ReadRawValue().size()) << "a failed read never writes";
}

TEST_F(SettingsStore, ShorterPathLeavesTheOldTailInsideItsField) {
  ResetSettings();
  strcpy(Settings().PicturePath, "C:\\long\\path.bmp");
  PackSettings();
  strcpy(Settings().PicturePath, "a");
  PackSettings();
  const char* field = reinterpret_cast<const char*>(SettingsBuffer() + 0x200);
  EXPECT_STREQ("a", field);
  EXPECT_STREQ("\\long\\path.bmp", field + 2);
  UnpackSettings();
  EXPECT_STREQ("a", Settings().PicturePath);
}

TEST_F(SettingsStore, DamagedValuesAreMadeSafeAndNothingElseChanges) {
  std::vector<uint8_t> v(1028, 0);
  auto put = [&](size_t off, int32_t x) { memcpy(&v[off], &x, 4); };
  put(0x40, 100000);     // FlakeCount far beyond the table
  put(0x60, 0);          // SleighFrameDivider 0
  put(0x4C, -7);         // FlakeSpeed: not one of the guarded limits
  memset(&v[0x200], 'p', 255);  // picture path without a terminator in its field
  memset(&v[0x2FF], 'm', 257);  // mask path without one either
  put(0x400, 5);
  WriteRawValue(v);

  ASSERT_EQ(1, LoadSettings());
  const SettingsRecord& s = Settings();
  EXPECT_EQ(500, s.FlakeCount);
  EXPECT_EQ(1, s.SleighFrameDivider);
  EXPECT_EQ(-7, s.FlakeSpeed) << "only the guarded limits change";
  EXPECT_EQ(254u, strlen(s.PicturePath));
  EXPECT_EQ(255u, strlen(s.MaskPath));
  EXPECT_EQ(std::string(255, 'm'), s.MaskPath);
  EXPECT_EQ(5, s.MaskMaxRects);

  put(0x40, -3);
  WriteRawValue(v);
  ASSERT_EQ(1, LoadSettings());
  EXPECT_EQ(0, Settings().FlakeCount);
  EXPECT_EQ(254u, strlen(Settings().PicturePath));
}

TEST_F(SettingsStore, PackingNeverRunsPastAStringField) {
  ResetSettings();
  memset(Settings().PicturePath, 'x', 255);
  Settings().PicturePath[255] = 0;
  PackSettings();
  EXPECT_EQ(0, SettingsBuffer()[0x2FE]) << "terminated inside its own field";
  EXPECT_EQ('V', SettingsBuffer()[0x2FF]) << "the mask path is untouched";
}

}  // namespace
