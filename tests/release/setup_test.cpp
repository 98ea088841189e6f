// The setup program run as a user or an administrator runs it: silently, as
// people who deploy to many machines do, and through its pages. What it
// leaves on disk and in the registry, the installed saver started from
// where it was put, and the uninstaller started from its entry.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "blackbox/blackbox_support.h"
#include "support/help_viewer.h"
#include "support/test_support.h"
#include "version.h"

namespace {

const char kEntryKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Nivalo";
const char kDesktopKey[] = "Control Panel\\Desktop";
const char kUninstaller[] = "Uninstall Nivalo.exe";
const char kEarlierSaver[] = "C:\\windows\\system32\\earlier.scr";
// Where the display control panel that stands in for the system's notes
// the screen saver its InstallScreenSaver was given.
const char kNotesKey[] = "Software\\Nivalo setup test";

// The setup program under test: the one that ships, where this machine
// runs 32-bit code.
std::string SetupProgram() { return WindowsPath(NIVALO_SETUP_UNDER_TEST); }

// The build of Nivalo.scr and its help that fits this system, as built.
std::string BuiltFile(const char* name) {
  SYSTEM_INFO si{};
  GetNativeSystemInfo(&si);
  const bool x64 = si.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
  return WindowsPath(NIVALO_BUILD_DIR) + (x64 ? "\\x64\\" : "\\") + name;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// Paths compared as Windows compares them.
std::string Lower(std::string s) {
  CharLowerA(s.data());
  return s;
}

// Runs a program and waits for it; its exit code, or -2 when it has not
// ended within a minute.
long RunAndWait(const std::string& program, const std::string& arguments) {
  return Saver(arguments, program).Exit(60000);
}

// A registry value in the system's own view (a 64-bit one on 64-bit
// Windows): a string, or a number in decimal.
std::optional<std::string> ReadString(HKEY root, const char* key, const char* name) {
  char value[1024] = "";
  DWORD size = sizeof value - 1, type = 0;
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key, 0, KEY_READ | KEY_WOW64_64KEY, &k) != ERROR_SUCCESS) return std::nullopt;
  const LONG r = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(k);
  if (r != ERROR_SUCCESS) return std::nullopt;
  if (type == REG_DWORD) {
    DWORD number = 0;
    memcpy(&number, value, sizeof number);
    return std::to_string(number);
  }
  return std::string(value);
}

// Sets or, given nothing, removes the current screen saver.
void SetCurrentSaver(const std::optional<std::string>& path) {
  HKEY k = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr);
  if (path) {
    RegSetValueExA(k, "SCRNSAVE.EXE", 0, REG_SZ, reinterpret_cast<const BYTE*>(path->c_str()),
                   static_cast<DWORD>(path->size() + 1));
  } else {
    RegDeleteValueA(k, "SCRNSAVE.EXE");
  }
  RegCloseKey(k);
}

std::optional<std::string> CurrentSaver() { return ReadString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE"); }

std::string ShortPath(const std::string& path) {
  char s[MAX_PATH] = "";
  return GetShortPathNameA(path.c_str(), s, sizeof s) ? s : "";
}

std::string FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The uninstaller's last step, removing itself and its folder, is done by a
// copy of it once it has ended: waits, on changes of the parent folder, up
// to 10 s for the folder to go; true once it has.
bool AwaitGone(const std::string& folder) {
  const std::string parent = folder.substr(0, folder.find_last_of('\\') + 1);
  HANDLE change = FindFirstChangeNotificationA(parent.c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
  const DWORD end = GetTickCount() + 10000;
  while (Exists(folder) && change != INVALID_HANDLE_VALUE && GetTickCount() < end) {
    WaitForSingleObject(change, 100);
    FindNextChangeNotification(change);
  }
  if (change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change);
  return !Exists(folder);
}

std::string UserFolder() {
  char appData[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData);
  return std::string(appData) + "\\Programs\\Nivalo";
}

std::string SystemFolder() {
  char system[MAX_PATH] = "";
  GetSystemDirectoryA(system, sizeof system);  // the native one: this is a 64-bit program
  return system;
}

// The display control panel, which Wine does not have.
std::string ControlPanel() { return SystemFolder() + "\\desk.cpl"; }

// The folder holds exactly the shipped screen saver and help that fit this
// system.
void ExpectShippedFilesIn(const std::string& folder) {
  for (const char* name : {"Nivalo.scr", "Nivalohelp.hlp"}) {
    const std::string installed = FileBytes(folder + "\\" + name);
    EXPECT_FALSE(installed.empty()) << folder << "\\" << name;
    EXPECT_TRUE(installed == FileBytes(BuiltFile(name))) << folder << "\\" << name << " is not " << BuiltFile(name);
  }
}

// The entry in Apps & features, with every field it must carry; the folder
// holds the uninstaller and the screen saver lies in saverFolder.
void ExpectEntry(HKEY root, const std::string& folder, const std::string& saverFolder) {
  const std::string uninstaller = folder + "\\" + kUninstaller;
  EXPECT_TRUE(Exists(uninstaller)) << uninstaller;
  const std::pair<const char*, std::string> fields[] = {
      {"DisplayName", "Nivalo"},
      {"DisplayVersion", NIVALO_VERSION},
      {"Publisher", "Orwenk"},
      {"DisplayIcon", saverFolder + "\\Nivalo.scr"},
      {"InstallLocation", folder},
      {"UninstallString", Quoted(uninstaller)},
      {"QuietUninstallString", Quoted(uninstaller) + " /S _?=" + folder},
  };
  for (const auto& [name, expected] : fields) {
    EXPECT_EQ(Lower(ReadString(root, kEntryKey, name).value_or("(none)")), Lower(expected)) << name;
  }
  // The size in KiB of what was installed.
  double bytes = 0;
  for (const std::string& file : {saverFolder + "\\Nivalo.scr", saverFolder + "\\Nivalohelp.hlp", uninstaller}) {
    bytes += static_cast<double>(FileBytes(file).size());
  }
  EXPECT_NEAR(std::stod(ReadString(root, kEntryKey, "EstimatedSize").value_or("0")), bytes / 1024, 3)
      << "EstimatedSize";
}

// A silent install's work: the shipped files in saverFolder, the entry in
// root alone with the uninstaller in folder, and the saver made current by
// the short form of its path, as the display settings write it.
void ExpectInstalled(HKEY root, const std::string& folder, const std::string& saverFolder) {
  ExpectShippedFilesIn(saverFolder);
  ExpectEntry(root, folder, saverFolder);
  EXPECT_FALSE(ReadString(root == HKEY_CURRENT_USER ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kEntryKey, "DisplayName"));
  EXPECT_EQ(Lower(CurrentSaver().value_or("(none)")), Lower(ShortPath(saverFolder + "\\Nivalo.scr")));
}

// Starts the uninstaller as its entry's quiet uninstall string says (the
// quoted program, then its arguments): the folder and the entry go, and the
// screen saver current before the install comes back.
void ExpectQuietUninstall(HKEY root, const std::string& folder, const std::optional<std::string>& earlier) {
  const std::string line = ReadString(root, kEntryKey, "QuietUninstallString").value_or("\"\"");
  const size_t end = line.find('"', 1);
  ASSERT_EQ(RunAndWait(line.substr(1, end - 1), line.substr(std::min(end + 2, line.size()))), 0);
  EXPECT_TRUE(AwaitGone(folder));
  EXPECT_FALSE(ReadString(root, kEntryKey, "DisplayName"));
  EXPECT_EQ(CurrentSaver().value_or("(none)"), earlier.value_or("(none)"));
}

// Every Nivalo setup leaves: its entries, files and folders, the current
// screen saver and the stored settings. Each test starts without them and
// puts the current screen saver back as it found it.
class Setup : public testing::Test {
 protected:
  void SetUp() override {
    before_ = CurrentSaver();
    RemoveEveryInstall();
  }
  void TearDown() override {
    RemoveEveryInstall();
    SetCurrentSaver(before_);
    if (placedControlPanel_) DeleteFileA(ControlPanel().c_str());
  }

  // Puts the display control panel that notes what it is given where Wine
  // has none.
  void PlaceControlPanel() {
    ASSERT_FALSE(Exists(ControlPanel()));
    placedControlPanel_ = CopyFileA(WindowsPath(NIVALO_INSTALL_VERB_RECORDER).c_str(), ControlPanel().c_str(), TRUE);
    ASSERT_TRUE(placedControlPanel_);
  }

  static void RemoveEveryInstall() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
      const std::optional<std::string> folder = ReadString(root, kEntryKey, "InstallLocation");
      if (folder) RemoveFolder(*folder);
      RegDeleteKeyExA(root, kEntryKey, KEY_WOW64_64KEY, 0);
    }
    for (const std::string& folder : {UserFolder(), std::string(kChosenFolder)}) RemoveFolder(folder);
    for (const char* name : {"Nivalo.scr", "Nivalohelp.hlp"}) DeleteFileA((SystemFolder() + "\\" + name).c_str());
    ClearStoredSettings();
    RegDeleteKeyA(HKEY_CURRENT_USER, kNotesKey);
  }
  static void RemoveFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do DeleteFileA((folder + "\\" + found.cFileName).c_str());
      while (FindNextFileA(h, &found));
      FindClose(h);
    }
    RemoveDirectoryA(folder.c_str());
  }

  static constexpr char kChosenFolder[] = "C:\\Nivalo chosen folder";

 private:
  std::optional<std::string> before_;
  bool placedControlPanel_ = false;
};

TEST_F(Setup, SilentInstallForTheUserItsSaverAndItsQuietUninstall) {
  SetCurrentSaver(kEarlierSaver);
  ASSERT_EQ(RunAndWait(SetupProgram(), "/S"), 0);

  const std::string folder = UserFolder(), saver = folder + "\\Nivalo.scr";
  ExpectInstalled(HKEY_CURRENT_USER, folder, folder);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive").value_or("(none)"), "1");

  // The installed saver shows its settings and closes.
  {
    Saver settings("/c", saver);
    HWND dialog = AwaitWindow("#32770", "Nivalo screen saver settings");
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(settings.Exit(), 0);
  }

  // The user's settings outlive a silent uninstall.
  StoreSettings([](SettingsRecord& s) { s.FlakeCount = 123; });
  ExpectQuietUninstall(HKEY_CURRENT_USER, folder, kEarlierSaver);
  EXPECT_EQ(StoredRecord().FlakeCount, 123);
}

TEST_F(Setup, InstallOverARunningInstallReplacesItsFilesWhereTheyAre) {
  SetCurrentSaver(std::nullopt);
  ASSERT_EQ(RunAndWait(SetupProgram(), std::string("/S /D=") + kChosenFolder), 0);
  const std::string saver = std::string(kChosenFolder) + "\\Nivalo.scr";
  ExpectInstalled(HKEY_CURRENT_USER, kChosenFolder, kChosenFolder);
  EXPECT_NE(ShortPath(saver), saver) << "a path that has a short form";

  // An older copy, running as the screen saver while setup runs again,
  // without naming the folder.
  std::ofstream(saver, std::ios::binary | std::ios::app) << "an older build";
  Saver running("/s", saver);
  ASSERT_NE(AwaitWindow(kSaverClass, "Screen Saver"), nullptr);
  ASSERT_EQ(RunAndWait(SetupProgram(), "/S"), 0);
  ExpectInstalled(HKEY_CURRENT_USER, kChosenFolder, kChosenFolder);
  PressKey(VK_SPACE);
  EXPECT_EQ(running.Exit(), 0);

  // What was current before the first install comes back: no screen saver.
  ExpectQuietUninstall(HKEY_CURRENT_USER, kChosenFolder, std::nullopt);
}

TEST_F(Setup, ForEveryoneTheSaverGoesIntoSystem32) {
  SetCurrentSaver(kEarlierSaver);
  ASSERT_EQ(RunAndWait(SetupProgram(), "/S /ALLUSERS"), 0);

  const std::string system = SystemFolder();
  const std::optional<std::string> folder = ReadString(HKEY_LOCAL_MACHINE, kEntryKey, "InstallLocation");
  ASSERT_TRUE(folder);
  ExpectInstalled(HKEY_LOCAL_MACHINE, *folder, system);
  EXPECT_FALSE(Exists(UserFolder()));

  ExpectQuietUninstall(HKEY_LOCAL_MACHINE, *folder, kEarlierSaver);
  for (const char* name : {"\\Nivalo.scr", "\\Nivalohelp.hlp"}) EXPECT_FALSE(Exists(system + name)) << name;
}

// A window's child, at any depth, of that class and text.
HWND FindControl(HWND parent, const char* cls, const char* text) {
  struct Search { const char* cls; const char* text; HWND found; } search{cls, text, nullptr};
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        char c[64] = "";
        GetClassNameA(w, c, sizeof c);
        if (lstrcmpiA(c, s->cls) == 0 && WindowText(w) == s->text) s->found = w;
        return s->found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Clicks the button of another process's window and lets it go on.
void Click(HWND button) {
  PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

// Waits up to 10 s, on changes of its key, for the value to appear.
std::optional<std::string> AwaitString(HKEY root, const char* key, const char* name) {
  HKEY k = nullptr;
  RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_READ | KEY_NOTIFY, nullptr, &k, nullptr);
  HANDLE changed = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::optional<std::string> value;
  const DWORD end = GetTickCount() + 10000;
  while (!(value = ReadString(root, key, name)) && GetTickCount() < end) {
    RegNotifyChangeKeyValue(k, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE);
    if (!(value = ReadString(root, key, name))) WaitForSingleObject(changed, 1000);
  }
  CloseHandle(changed);
  RegCloseKey(k);
  return value;
}

TEST_F(Setup, ThroughItsPagesAndTheUninstallersBoxThatRemovesTheSettings) {
  const std::string version = NIVALO_VERSION;
  ASSERT_NO_FATAL_FAILURE(PlaceControlPanel());
  {
    Saver setup("", SetupProgram());
    HWND window = AwaitWindow("#32770", ("Nivalo " + version + " Setup").c_str());
    ASSERT_NE(window, nullptr);
    HWND justMe = FindControl(window, "Button", "&Just me (needs no administrator rights)");
    ASSERT_NE(justMe, nullptr);
    EXPECT_EQ(SendMessageA(justMe, BM_GETCHECK, 0, 0), BST_CHECKED);
    Click(GetDlgItem(window, IDOK));
    EXPECT_EQ(setup.Exit(), 0);
  }
  const std::string folder = UserFolder();
  ExpectShippedFilesIn(folder);
  EXPECT_EQ(Lower(AwaitString(HKEY_CURRENT_USER, kNotesKey, "Installed").value_or("(none)")),
            Lower(folder + "\\Nivalo.scr"));

  StoreSettings([](SettingsRecord& s) { s.FlakeCount = 123; });
  Saver uninstall("_?=" + folder, folder + "\\" + kUninstaller);
  HWND window = AwaitWindow("#32770", ("Nivalo " + version + " Uninstall").c_str());
  ASSERT_NE(window, nullptr);
  HWND box = FindControl(window, "Button", "Also remove my &Nivalo settings");
  ASSERT_NE(box, nullptr);
  SendMessageA(box, BM_CLICK, 0, 0);
  Click(GetDlgItem(window, IDOK));
  EXPECT_EQ(uninstall.Exit(), 0);
  EXPECT_TRUE(AwaitGone(folder));
  bool keyExists = true;
  EXPECT_TRUE(StoredSettingsValue(&keyExists).empty());
  EXPECT_FALSE(keyExists);
  HKEY vendor = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Orwenk", 0, KEY_READ, &vendor), ERROR_SUCCESS);
}

}  // namespace
