// The shipped Nivalo.scr as a Windows 95/98 or NT 4.0 loader sees it: every
// import must be a function those systems export, the header must ask for
// no more than Windows 4.0, and the file carries no symbols.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::string WindowsPath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::vector<uint8_t> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A PE32 file's headers and import table, read with bounds checks: a
// malformed file yields an error text instead of a crash.
struct PeFile {
  std::vector<uint8_t> bytes;
  std::string error;
  IMAGE_FILE_HEADER file{};
  IMAGE_OPTIONAL_HEADER32 optional{};
  std::vector<IMAGE_SECTION_HEADER> sections;

  template <typename T>
  bool Read(size_t offset, T* out) {
    if (offset > bytes.size() || sizeof(T) > bytes.size() - offset) return false;
    memcpy(out, &bytes[offset], sizeof(T));
    return true;
  }

  std::string Text(size_t offset) {
    std::string s;
    while (offset < bytes.size() && bytes[offset]) s += static_cast<char>(bytes[offset++]);
    return s;
  }

  // The file offset of a relative virtual address, or 0 when no section holds it.
  size_t Offset(uint32_t rva) const {
    for (const auto& s : sections) {
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
        return rva - s.VirtualAddress + s.PointerToRawData;
      }
    }
    return 0;
  }

  explicit PeFile(const std::string& path) : bytes(ReadWhole(path)) {
    IMAGE_DOS_HEADER dos{};
    uint32_t signature = 0;
    if (!Read(0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || !Read(dos.e_lfanew, &signature) ||
        signature != IMAGE_NT_SIGNATURE || !Read(dos.e_lfanew + 4, &file) ||
        !Read(dos.e_lfanew + 4 + sizeof file, &optional) ||
        optional.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
      error = "not a PE32 file: " + path;
      return;
    }
    size_t at = dos.e_lfanew + 4 + sizeof file + file.SizeOfOptionalHeader;
    for (int i = 0; i < file.NumberOfSections; ++i, at += sizeof(IMAGE_SECTION_HEADER)) {
      IMAGE_SECTION_HEADER s{};
      if (!Read(at, &s)) {
        error = "section table cut short";
        return;
      }
      sections.push_back(s);
    }
  }

  // "dll!function" for every import, the DLL name in lower case; ordinal
  // imports show as "dll!#n".
  std::vector<std::string> Imports() {
    std::vector<std::string> imports;
    const auto& dir = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    size_t at = Offset(dir.VirtualAddress);
    IMAGE_IMPORT_DESCRIPTOR d{};
    for (; at && Read(at, &d) && d.Name; at += sizeof d) {
      std::string dll = Text(Offset(d.Name));
      std::transform(dll.begin(), dll.end(), dll.begin(), [](char c) { return std::tolower(c); });
      uint32_t thunks = d.OriginalFirstThunk ? d.OriginalFirstThunk : d.FirstThunk;
      uint32_t entry = 0;
      for (size_t t = Offset(thunks); t && Read(t, &entry) && entry; t += 4) {
        if (entry & IMAGE_ORDINAL_FLAG32) {
          imports.push_back(dll + "!#" + std::to_string(entry & 0xFFFF));
        } else {
          imports.push_back(dll + "!" + Text(Offset(entry) + 2));  // after the hint
        }
      }
    }
    return imports;
  }
};

// The names one DLL exports on both Windows 98 and NT 4.0; empty when the
// DLL has no list, so that every import from it is reported.
std::set<std::string> ExportsOf(const std::string& dll) {
  std::string base = dll.substr(0, dll.rfind('.'));
  std::ifstream in(WindowsPath(NIVALO_WIN9X_LISTS) + "\\" + base + ".txt");
  std::set<std::string> names;
  for (std::string line; std::getline(in, line);) {
    line.erase(line.find_last_not_of(" \r\t") + 1);
    if (!line.empty()) names.insert(line);
  }
  return names;
}

// The imports that Windows 98 or NT 4.0 would refuse to resolve.
std::vector<std::string> MissingOnOldWindows(const std::vector<std::string>& imports) {
  std::vector<std::string> missing;
  for (const std::string& import : imports) {
    const size_t bang = import.find('!');
    if (!ExportsOf(import.substr(0, bang)).count(import.substr(bang + 1))) missing.push_back(import);
  }
  return missing;
}

std::string Join(const std::vector<std::string>& v) {
  std::string s;
  for (const auto& x : v) s += x + " ";
  return s;
}

TEST(ShippedBinary, ImportsOnlyWhatWindows98AndNT4Export) {
  PeFile scr(WindowsPath(NIVALO_SCR_UNIX_PATH));
  ASSERT_EQ("", scr.error);
  const auto imports = scr.Imports();
  ASSERT_GT(imports.size(), 50u) << "the import table was not found";
  EXPECT_EQ("", Join(MissingOnOldWindows(imports))) << "of " << imports.size() << " imports";
}

// The check itself must see what a posix thread-model build imports: this
// test program is such a build.
TEST(ShippedBinary, CheckFindsTheImportsOfNewerWindows) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  PeFile test(self);
  ASSERT_EQ("", test.error);
  const std::string missing = Join(MissingOnOldWindows(test.Imports()));
  EXPECT_NE(std::string::npos, missing.find("kernel32.dll!GetTickCount64")) << missing;
  EXPECT_NE(std::string::npos, missing.find("kernel32.dll!AddVectoredExceptionHandler"));
  EXPECT_EQ(std::string::npos, missing.find("kernel32.dll!GetModuleHandleA"));
}

TEST(ShippedBinary, HeaderAsksForWindows4AndTheGuiSubsystem) {
  PeFile scr(WindowsPath(NIVALO_SCR_UNIX_PATH));
  ASSERT_EQ("", scr.error);
  EXPECT_EQ(IMAGE_FILE_MACHINE_I386, scr.file.Machine);
  EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, scr.optional.Subsystem);
  EXPECT_EQ(4, scr.optional.MajorSubsystemVersion);
  EXPECT_EQ(0, scr.optional.MinorSubsystemVersion);
  EXPECT_EQ(4, scr.optional.MajorOperatingSystemVersion);
  EXPECT_EQ(0, scr.optional.MinorOperatingSystemVersion);
}

TEST(ShippedBinary, IsStripped) {
  PeFile scr(WindowsPath(NIVALO_SCR_UNIX_PATH));
  ASSERT_EQ("", scr.error);
  EXPECT_EQ(0u, scr.file.NumberOfSymbols);
  for (const auto& s : scr.sections) {
    const std::string name(reinterpret_cast<const char*>(s.Name), strnlen(reinterpret_cast<const char*>(s.Name), 8));
    EXPECT_NE(0u, name.rfind(".debug", 0)) << name;
    EXPECT_NE('/', name[0]) << "a long section name lives in a symbol table";
  }
}

}  // namespace
