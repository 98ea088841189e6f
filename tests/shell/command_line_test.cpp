#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "shell/command_line.h"
#include "shell/shell_state.h"
#include "support/test_support.h"

namespace {

TEST(CommandLine, ParseWindowHandleReadsUnsignedDecimalAndWraps) {
  EXPECT_EQ(reinterpret_cast<HWND>(1234), ParseWindowHandle("1234"));
  EXPECT_EQ(reinterpret_cast<HWND>(12), ParseWindowHandle("12x"));
  EXPECT_EQ(nullptr, ParseWindowHandle(""));
  EXPECT_EQ(nullptr, ParseWindowHandle("abc"));
  EXPECT_EQ(nullptr, ParseWindowHandle(" 12")) << "no leading spaces";
  EXPECT_EQ(nullptr, ParseWindowHandle("-5")) << "no sign";
  EXPECT_EQ(nullptr, ParseWindowHandle("0x10")) << "no hexadecimal";
  EXPECT_EQ(reinterpret_cast<HWND>(uintptr_t{4294967295u}), ParseWindowHandle("4294967295"));
  // 4294967296 wraps to 0, 4294967297 to 1.
  EXPECT_EQ(nullptr, ParseWindowHandle("4294967296"));
  EXPECT_EQ(reinterpret_cast<HWND>(1), ParseWindowHandle("4294967297"));
}

TEST(CommandLine, SkipProgramNameStepsOverQuotedAndPlainNames) {
  EXPECT_STREQ("/s", SkipProgramName("\"C:\\Program Files\\Nivalo.scr\" /s"));
  EXPECT_STREQ("/p 1234", SkipProgramName("C:\\WINDOWS\\NIVALO.SCR   /p 1234"));
  EXPECT_STREQ("", SkipProgramName("Nivalo.scr"));
  EXPECT_STREQ("", SkipProgramName("\"Nivalo.scr"));
  EXPECT_STREQ("/c", SkipProgramName("Nivalo.scr \t /c")) << "tabs between are skipped too";
  EXPECT_STREQ("x", SkipProgramName("\"a b\"x"));
}

TEST(CommandLine, UnknownOrIncompleteModesExitMinusOneWithoutWindows) {
  const char* lines[] = {"/x", "\t", "/p", "/p 0", "/p abc", "/l", "-q", "/p 12x", "?"};
  for (const char* line : lines) {
    EXPECT_EQ(-1, DispatchMode(GetModuleHandleA(nullptr), line)) << line;
    EXPECT_EQ(nullptr, Shell().saverWindow) << line;
  }
  EXPECT_EQ(nullptr, FindWindowA(kSaverClassName, nullptr));
}

TEST(CommandLine, ChangePasswordOnWindowsNtRunsNothing) {
  EXPECT_EQ(-1, DispatchMode(GetModuleHandleA(nullptr), "/a 1234"));
  EXPECT_EQ(-1, DispatchMode(GetModuleHandleA(nullptr), "a"));
}

// Watches the dialogs and saver windows that a mode opens and answers them:
// a settings dialog is cancelled, a saver window is asked to close.
struct ModeWatch {
  static inline HWND dialogOwner = nullptr;
  static inline int dialogs = 0;
  static inline int savers = 0;
  static inline std::string saverTitle;

  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
      HWND w = reinterpret_cast<HWND>(wParam);
      char cls[64] = {};
      GetClassNameA(w, cls, sizeof cls);
      if (std::string(cls) == "#32770") {
        ++dialogs;
        dialogOwner = GetWindow(w, GW_OWNER);
        PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
      }
    } else if (code == HCBT_CREATEWND) {
      HWND w = reinterpret_cast<HWND>(wParam);
      char cls[64] = {};
      GetClassNameA(w, cls, sizeof cls);
      if (std::string(cls) == kSaverClassName) {
        ++savers;
        auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        saverTitle = create->lpcs->lpszName ? create->lpcs->lpszName : "";
        PostMessageA(w, WM_CLOSE, 0, 0);
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  HHOOK hook;
  ModeWatch() {
    dialogOwner = nullptr;
    dialogs = savers = 0;
    saverTitle.clear();
    hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~ModeWatch() { UnhookWindowsHookEx(hook); }
};

TEST(CommandLine, EverySpellingOfFullScreenStartsTheSaver) {
  ClearStoredSettings();
  for (const char* line : {"/s", "-S", "s", " -s", "/S trailing words"}) {
    ModeWatch watch;
    EXPECT_EQ(0, DispatchMode(GetModuleHandleA(nullptr), line)) << line;
    EXPECT_EQ(1, ModeWatch::savers) << line;
    EXPECT_EQ("Screen Saver", ModeWatch::saverTitle) << line;
    EXPECT_EQ(0, ModeWatch::dialogs) << line;
    Shell().saverWindow = nullptr;
  }
}

TEST(CommandLine, SettingsDialogParents) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                               100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, owner);
  const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(owner));

  {
    ModeWatch watch;
    EXPECT_EQ(0, DispatchMode(GetModuleHandleA(nullptr), ("/c:" + handle).c_str()));
    EXPECT_EQ(1, ModeWatch::dialogs);
    EXPECT_EQ(owner, ModeWatch::dialogOwner) << "/c:HWND uses that window";
  }
  {
    ModeWatch watch;
    EXPECT_EQ(0, DispatchMode(GetModuleHandleA(nullptr), ""));
    EXPECT_EQ(1, ModeWatch::dialogs);
    EXPECT_EQ(nullptr, ModeWatch::dialogOwner) << "an empty line has no parent";
  }
  for (const std::string& line : {std::string("/c"), std::string("/c:0"), std::string("/c:abc"), "/c " + handle, std::string("C")}) {
    SetForegroundWindow(owner);
    HWND foreground = GetForegroundWindow();
    ModeWatch watch;
    EXPECT_EQ(0, DispatchMode(GetModuleHandleA(nullptr), line.c_str())) << line;
    EXPECT_EQ(1, ModeWatch::dialogs) << line;
    EXPECT_EQ(foreground, ModeWatch::dialogOwner) << line << ": the foreground window";
  }
  DestroyWindow(owner);
}

TEST(CommandLine, PreviewOfAWindowCreatesAChildOfItsClientSize) {
  ClearStoredSettings();
  HWND parent = CreateWindowExA(0, "STATIC", "panel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                300, 240, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, parent);
  const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(parent));
  for (const std::string& line : {"/p " + handle, "/l " + handle, "/p" + handle, "/p " + handle + "x"}) {
    ModeWatch watch;
    EXPECT_EQ(0, DispatchMode(GetModuleHandleA(nullptr), line.c_str())) << line;
    EXPECT_EQ(1, ModeWatch::savers) << line;
    EXPECT_EQ("Preview", ModeWatch::saverTitle) << line;
    EXPECT_EQ(1, Shell().previewMode);
    Shell().saverWindow = nullptr;
  }
  DestroyWindow(parent);
}

}  // namespace

namespace {

TEST(Resources, NameVersionAndIconAreThere) {
  HINSTANCE self = GetModuleHandleA(nullptr);
  char name[32] = {};
  ASSERT_GT(LoadStringA(self, 1, name, sizeof name), 0);
  EXPECT_STREQ("Nivalo", name) << "the name the system lists the saver under";
  EXPECT_NE(nullptr, LoadIconA(self, MAKEINTRESOURCEA(1)));
  EXPECT_NE(nullptr, FindResourceA(self, MAKEINTRESOURCEA(2003), MAKEINTRESOURCEA(5)))
      << "the settings dialog template";

  HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
  ASSERT_NE(nullptr, res);
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(self, res)));
  DWORD size = SizeofResource(self, res);
  const VS_FIXEDFILEINFO* info = nullptr;
  for (DWORD i = 0; i + sizeof(VS_FIXEDFILEINFO) <= size; i += 4) {
    const auto* candidate = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + i);
    if (candidate->dwSignature == 0xFEEF04BD) {
      info = candidate;
      break;
    }
  }
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(MAKELONG(1, 0), info->dwFileVersionMS);
  EXPECT_EQ(MAKELONG(3, 5), info->dwFileVersionLS) << "version 0.1.5.3";
}

}  // namespace
