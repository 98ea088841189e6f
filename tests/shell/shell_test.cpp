// The command line, the saver window's input handling and the preview, on
// Windows NT (as Wine reports by default).
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "scene/scene.h"
#include "shell/command_line.h"
#include "saver/password.h"
#include "shell/saver_launch.h"
#include "saver/default_saver_proc.h"
#include "support/test_support.h"
#include "surface/surface.h"
#include "system/optional_calls.h"
#include "system/shell_state.h"

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }
HWND Handle(intptr_t v) { return reinterpret_cast<HWND>(v); }
std::string Text(HWND w) { return std::to_string(reinterpret_cast<uintptr_t>(w)); }

// What the panel was sent for help: a request it can read while it holds it.
HELPINFO panelHelp{};
LRESULT CALLBACK PanelProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HELP) panelHelp = *reinterpret_cast<const HELPINFO*>(lParam);
  return DefWindowProcA(w, message, wParam, lParam);
}

HWND MakePanel() {
  return CreateWindowExA(0, "STATIC", "panel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 320, 240,
                         nullptr, nullptr, nullptr, nullptr);
}

TEST(CommandLine, HandlesAndProgramNames) {
  // Past 2^31 the handle is negative: a 64-bit program widens the 32
  // significant bits of a handle by their sign, and a 32-bit one cannot tell.
  const struct { const char* text; intptr_t handle; } handles[] = {
      {"1234", 1234}, {"12x", 12}, {"", 0}, {"abc", 0}, {" 12", 0}, {"-5", 0}, {"0x10", 0},
      {"2147483647", 2147483647}, {"2147483648", -2147483647 - 1}, {"4294967295", -1},
      {"4294967296", 0}, {"4294967297", 1}};
  for (const auto& h : handles) EXPECT_EQ(Handle(h.handle), ParseWindowHandle(h.text)) << h.text;

  const struct { const char* line; const char* rest; } names[] = {
      {"\"C:\\Program Files\\Nivalo.scr\" /s", "/s"}, {"C:\\WINDOWS\\NIVALO.SCR   /p 1234", "/p 1234"},
      {"Nivalo.scr", ""}, {"\"Nivalo.scr", ""}, {"Nivalo.scr \t /c", "/c"}, {"Nivalo.scr\t/c", "/c"},
      {"\"a b\"x", "x"}};
  for (const auto& n : names) EXPECT_STREQ(n.rest, SkipProgramName(n.line)) << n.line;
}

// What a mode opened, as ModeWatch saw it.
struct Opened {
  HWND dialogOwner = nullptr;
  int dialogs = 0, savers = 0, declarations = 0;
  std::string saverTitle;
  bool declared = false;  // a declaration came before the dialog
} opened;

// Watches what a mode opens: a settings dialog is cancelled, a saver window
// is asked to close. It counts the declarations that the process is aware
// of the screen's resolution (Wine counts every process so from its start).
struct ModeWatch {
  HHOOK hook;

  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    HWND w = reinterpret_cast<HWND>(wParam);
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (code == HCBT_ACTIVATE && std::string(cls) == "#32770") {
      ++opened.dialogs;
      opened.declared = opened.declarations > 0;
      opened.dialogOwner = GetWindow(w, GW_OWNER);
      PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    } else if (code == HCBT_CREATEWND && std::string(cls) == kSaverClassName) {
      ++opened.savers;
      const char* title = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszName;
      opened.saverTitle = title ? title : "";
      PostMessageA(w, WM_CLOSE, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  ModeWatch() : hook(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {
    opened = {};
    SetResolutionAwareObserver([] { ++opened.declarations; });
  }
  ~ModeWatch() {
    SetResolutionAwareObserver(nullptr);
    UnhookWindowsHookEx(hook);
  }
};

TEST(CommandLine, ModesOpenWhatTheyNameAndNothingElse) {
  ClearStoredSettings();
  for (const char* line : {"/x", "\t", "/p", "/p 0", "/p abc", "/p 12x", "/l", "-q", "?", "/a 1234", "a"}) {
    ModeWatch watch;
    EXPECT_EQ(-1, DispatchMode(Self(), line)) << line;
    EXPECT_EQ(0, opened.savers + opened.dialogs) << line;
  }
  for (const char* line : {"/s", "-S", "s", " -s", "/S trailing words"}) {
    ModeWatch watch;
    EXPECT_EQ(0, DispatchMode(Self(), line)) << line;
    EXPECT_EQ(1, opened.savers) << line;
    EXPECT_EQ("Screen Saver", opened.saverTitle) << line;
    EXPECT_EQ(0, opened.declarations) << line << ": the system enlarges the scene";
  }
  HWND panel = MakePanel();
  for (const std::string& line : {"/p " + Text(panel), "/l " + Text(panel), "/p" + Text(panel) + "x"}) {
    ModeWatch watch;
    EXPECT_EQ(0, DispatchMode(Self(), line.c_str())) << line;
    EXPECT_EQ("Preview", opened.saverTitle) << line;
    EXPECT_EQ(0, opened.declarations) << line;
    ResetShellState();
  }
  {
    ModeWatch watch;
    EXPECT_EQ(0, DispatchMode(Self(), ("/c:" + Text(panel)).c_str()));
    EXPECT_EQ(panel, opened.dialogOwner) << "/c:HWND uses that window";
    EXPECT_TRUE(opened.declared) << "the settings dialog is drawn at the real resolution";
  }
  {
    ModeWatch watch;
    EXPECT_EQ(0, DispatchMode(Self(), ""));
    EXPECT_EQ(1, opened.dialogs);
    EXPECT_EQ(nullptr, opened.dialogOwner) << "an empty line has no parent";
  }
  HWND front = MakePanel();
  for (const std::string& line : {std::string("/c"), std::string("/c:0"), std::string("/c:abc"),
                                  "/c " + Text(panel), std::string("C")}) {
    SetForegroundWindow(front);
    ModeWatch watch;
    EXPECT_EQ(0, DispatchMode(Self(), line.c_str())) << line;
    EXPECT_EQ(front, opened.dialogOwner) << line << ": the foreground window";
  }
  DestroyWindow(front);
  DestroyWindow(panel);
}

TEST(Resources, NameIconAndDialog) {
  char name[32] = {};
  LoadStringA(Self(), IDS_PROGRAM_NAME, name, sizeof name);
  EXPECT_STREQ("Nivalo", name) << "the name the system lists the saver under";
  EXPECT_NE(nullptr, LoadIconA(Self(), MAKEINTRESOURCEA(IDI_PROGRAM)));
  EXPECT_NE(nullptr, FindResourceA(Self(), MAKEINTRESOURCEA(IDD_SETTINGS), RT_DIALOG));
}

// Moves the cursor to (400 + dx, 300 + dy) and says whether that ends the saver.
bool MoveEnds(HWND saver, int dx, int dy) {
  SetCursorPos(400 + dx, 300 + dy);
  SendMessageA(saver, WM_MOUSEMOVE, 0, 0);
  return TakeMessages(saver, WM_CLOSE) > 0;
}

TEST(SaverWindow, EndsOnInputButNotOnSmallMoves) {
  SetCursorPos(400, 300);
  HWND saver = StartSaver();
  EXPECT_EQ(400, SavedCursor().x);
  EXPECT_EQ(nullptr, GetCursor()) << "hidden";
  EXPECT_EQ(0, SendMessageA(saver, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed")));
  EXPECT_EQ("Screen Saver", WindowText(saver));
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(1, SendMessageA(saver, WM_SETCURSOR, reinterpret_cast<WPARAM>(saver), 0));
  EXPECT_EQ(nullptr, GetCursor());

  for (POINT d : {POINT{3, 1}, {-2, -2}, {3, 0}}) EXPECT_FALSE(MoveEnds(saver, d.x, d.y)) << "4 pixels of travel";
  EXPECT_EQ(400, SavedCursor().x) << "the baseline stays, so small moves add up";
  EXPECT_TRUE(MoveEnds(saver, 3, 2)) << "5 pixels";
  EXPECT_EQ(403, SavedCursor().x) << "a move that ends the saver becomes the new baseline";

  const struct { UINT message; WPARAM wParam; bool closes; } inputs[] = {
      {WM_KEYDOWN, 0, true}, {WM_SYSKEYDOWN, 0, true}, {WM_LBUTTONDOWN, 0, true},
      {WM_RBUTTONDOWN, 0, true}, {WM_MBUTTONDOWN, 0, true}, {WM_KEYUP, 0, false},
      {WM_LBUTTONUP, 0, false}, {WM_ACTIVATEAPP, TRUE, false}, {WM_ACTIVATEAPP, FALSE, true},
      {WM_POWER, PWR_SUSPENDRESUME, false}, {WM_POWER, PWR_SUSPENDREQUEST, true},
      {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, true}};
  for (const auto& in : inputs) {
    SendMessageA(saver, in.message, in.wParam, 0);
    EXPECT_EQ(in.closes, TakeMessages(saver, WM_CLOSE) > 0) << in.message << " " << in.wParam;
  }
  for (WPARAM command : {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
    EXPECT_EQ(0, SendMessageA(saver, WM_SYSCOMMAND, command, 0)) << "swallowed";
  }
  EXPECT_TRUE(IsWindow(saver));

  SendMessageA(saver, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(saver)) << "on Windows NT the first close ends the saver";
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(0u, msg.wParam);
  EXPECT_EQ(nullptr, Surface().window) << "the scene was torn down";
  StopSaver(saver);
}

TEST(SaverWindow, PreviewIgnoresInputForwardsHelpAndEndsWithItsParent) {
  HWND panel = MakePanel();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  HWND preview = StartSaver([](SettingsRecord&) {}, panel);
  RECT pc, wc;
  GetClientRect(panel, &pc);
  GetClientRect(preview, &wc);
  EXPECT_EQ(std::pair(pc.right, pc.bottom), std::pair(wc.right, wc.bottom));
  EXPECT_EQ(panel, GetParent(preview));
  EXPECT_NE(nullptr, GetCursor()) << "a preview leaves the cursor alone";

  for (UINT message : {WM_KEYDOWN, WM_LBUTTONDOWN, WM_ACTIVATEAPP}) SendMessageA(preview, message, 0, 0);
  EXPECT_FALSE(MoveEnds(preview, 300, 300));
  SendMessageA(preview, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  EXPECT_TRUE(IsWindow(preview));

  EXPECT_EQ(1, SendMessageA(preview, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(preview), 99));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, panel, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE));
  EXPECT_EQ(reinterpret_cast<WPARAM>(panel), msg.wParam);
  EXPECT_EQ(99, msg.lParam);
  // Help is sent, not posted (its HELPINFO is a pointer), and names the panel.
  SetWindowLongPtrA(panel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PanelProc));
  HELPINFO help{sizeof help, HELPINFO_WINDOW, 0, preview, 0, {5, 5}};
  EXPECT_EQ(1, SendMessageA(preview, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)));
  EXPECT_EQ(std::pair(UINT{sizeof help}, HANDLE{panel}), std::pair(panelHelp.cbSize, panelHelp.hItemHandle));
  EXPECT_FALSE(PeekMessageA(&msg, panel, WM_HELP, WM_HELP, PM_REMOVE));

  DestroyWindow(panel);
  EXPECT_FALSE(IsWindow(preview));
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  StopSaver(preview);
}

// On Windows NT the password flag is never looked at.
TEST(SaverWindow, WindowsNtIgnoresThePasswordFlag) {
  SetPasswordFlag(1);
  StartShell(Self());
  LoadPasswordVerifier();
  EXPECT_FALSE(VerifierLoaded());
  EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
  HWND saver = StartSaver();
  EXPECT_EQ(0, SendMessageA(saver, kVerifyRequest, 0, 0)) << "left to the default procedure";
  StopSaver(saver);
  SetPasswordFlag(-1);
}

}  // namespace
