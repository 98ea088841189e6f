// The shipped 32-bit Nivalo.scr as a Windows 95/98 or NT 4.0 loader sees it:
// every import must be a function those systems export, the header must ask
// for no more than Windows 4.0, and the file carries no symbols. The 64-bit
// one must load on the first 64-bit Windows, XP x64. Reading a file needs no
// 32-bit code, so this runs on every machine.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

// A PE32 or PE32+ file read whole; Read and Text return zeros past its end.
// The fields that both headers share are read into the 32-bit form.
struct PeFile {
  std::vector<uint8_t> bytes;
  IMAGE_FILE_HEADER file{};
  IMAGE_OPTIONAL_HEADER32 optional{};
  bool wide = false;  // PE32+: 64-bit addresses and import entries
  std::vector<IMAGE_SECTION_HEADER> sections;

  template <typename T> T Read(size_t at) const {
    T v{};
    if (at <= bytes.size() && sizeof v <= bytes.size() - at) memcpy(&v, &bytes[at], sizeof v);
    return v;
  }
  std::string Text(size_t at) const {
    std::string s;
    while (at < bytes.size() && bytes[at]) s += static_cast<char>(bytes[at++]);
    return s;
  }
  size_t Offset(uint32_t rva) const {  // of a relative virtual address; 0 when in no section
    for (const auto& s : sections) {
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
        return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return 0;
  }
  explicit PeFile(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    const size_t nt = Read<IMAGE_DOS_HEADER>(0).e_lfanew;
    if (Read<uint32_t>(nt) != IMAGE_NT_SIGNATURE) return;
    file = Read<IMAGE_FILE_HEADER>(nt + 4);
    optional = Read<IMAGE_OPTIONAL_HEADER32>(nt + 4 + sizeof file);
    wide = optional.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    if (wide) {
      const auto o = Read<IMAGE_OPTIONAL_HEADER64>(nt + 4 + sizeof file);
      optional.MajorOperatingSystemVersion = o.MajorOperatingSystemVersion;
      optional.MinorOperatingSystemVersion = o.MinorOperatingSystemVersion;
      optional.MajorSubsystemVersion = o.MajorSubsystemVersion;
      optional.MinorSubsystemVersion = o.MinorSubsystemVersion;
      optional.Subsystem = o.Subsystem;
      memcpy(optional.DataDirectory, o.DataDirectory, sizeof optional.DataDirectory);
    }
    const size_t first = nt + 4 + sizeof file + file.SizeOfOptionalHeader;
    for (int i = 0; i < file.NumberOfSections; ++i)
      sections.push_back(Read<IMAGE_SECTION_HEADER>(first + i * sizeof(IMAGE_SECTION_HEADER)));
  }
  // "dll!function" for every import, the DLL in lower case; by ordinal "dll!#n".
  std::vector<std::string> Imports() const {
    std::vector<std::string> imports;
    size_t at = Offset(optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (auto d = Read<IMAGE_IMPORT_DESCRIPTOR>(at); at && d.Name; d = Read<IMAGE_IMPORT_DESCRIPTOR>(at += sizeof d)) {
      std::string dll = Text(Offset(d.Name));
      for (char& c : dll) c = static_cast<char>(tolower(c));
      size_t t = Offset(d.OriginalFirstThunk ? d.OriginalFirstThunk : d.FirstThunk);
      const size_t step = wide ? 8 : 4;
      const uint64_t byOrdinal = wide ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
      for (uint64_t e; t && (e = wide ? Read<uint64_t>(t) : Read<uint32_t>(t)) != 0; t += step) {
        imports.push_back(dll + "!" + (e & byOrdinal ? "#" + std::to_string(e & 0xFFFF)
                                                     : Text(Offset(static_cast<uint32_t>(e)) + 2)));
      }
    }
    return imports;
  }
};

// The imports that Windows 98 or NT 4.0 would refuse to resolve: names
// missing from the list of their DLL (a DLL without a list has none).
std::string MissingOnOldWindows(const std::vector<std::string>& imports) {
  std::string missing;
  for (const std::string& import : imports) {
    const size_t bang = import.find('!');
    std::ifstream list("Z:" NIVALO_WIN9X_LISTS "/" + import.substr(0, import.find('.')) + ".txt");
    std::set<std::string> names;
    for (std::string line; std::getline(list, line);) names.insert(line.substr(0, line.find_last_not_of(" \r\t") + 1));
    if (!names.count(import.substr(bang + 1))) missing += import + " ";
  }
  return missing;
}

TEST(ShippedBinary, ImportsOnlyWhatWindows98AndNT4Export) {
  const auto imports = PeFile("Z:" NIVALO_SCR_UNIX_PATH).Imports();
  ASSERT_GT(imports.size(), 50u) << "the import table was not found";
  EXPECT_EQ("", MissingOnOldWindows(imports)) << "of " << imports.size() << " imports";

  // The check must see what a posix thread-model build imports: this test
  // program is such a build.
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  const std::string missing = MissingOnOldWindows(PeFile(self).Imports());
  EXPECT_NE(std::string::npos, missing.find("kernel32.dll!GetTickCount64")) << missing;
  EXPECT_EQ(std::string::npos, missing.find("kernel32.dll!GetModuleHandleA")) << missing;
}

// Each build asks for the first Windows of its kind: 4.0 for the 32-bit
// one, 5.2 (XP x64) for the 64-bit one.
TEST(ShippedBinary, AsksForTheFirstWindowsOfItsKindAndCarriesNoSymbols) {
  const struct {
    const char* path;
    WORD machine, major, minor;
  } builds[] = {{"Z:" NIVALO_SCR_UNIX_PATH, IMAGE_FILE_MACHINE_I386, 4, 0},
                {"Z:" NIVALO_SCR_X64_UNIX_PATH, IMAGE_FILE_MACHINE_AMD64, 5, 2}};
  for (const auto& b : builds) {
    SCOPED_TRACE(b.path);
    const PeFile scr(b.path);
    EXPECT_EQ(b.machine, scr.file.Machine);
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, scr.optional.Subsystem);
    EXPECT_EQ(b.major, scr.optional.MajorSubsystemVersion);
    EXPECT_EQ(b.minor, scr.optional.MinorSubsystemVersion);
    EXPECT_EQ(4, scr.optional.MajorOperatingSystemVersion);
    EXPECT_EQ(0, scr.optional.MinorOperatingSystemVersion);
    EXPECT_EQ(0u, scr.file.NumberOfSymbols);
    for (const auto& s : scr.sections) {
      EXPECT_NE(0, strncmp(reinterpret_cast<const char*>(s.Name), ".debug", 6)) << "stripped";
    }
  }
}

}  // namespace
