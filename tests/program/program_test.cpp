// The command line, the saver window's input handling and the preview, on
// Windows NT (as Wine reports by default).
#include <gtest/gtest.h>

#include <tuple>

#include "resources/resource.h"
#include "scene/scene.h"
#include "program/command_line.h"
#include "saver/password.h"
#include "program/saver_launch.h"
#include "saver/default_saver_proc.h"
#include "snow/wind.h"
#include "support/display_notice.h"
#include "support/test_support.h"
#include "surface/surface.h"
#include "system/optional_calls.h"
#include "system/process_state.h"

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
    ResetProcessState();
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

// Systems with some of the calls that declare the awareness of the
// screen's resolution, each answered here: what it has, what it answers,
// and what was called.
std::string laterCalls, declared;
BOOL processAccepts;
HANDLE threadAnswer;
void Declared(const char* what, HANDLE context) {
  declared += what + std::to_string(reinterpret_cast<intptr_t>(context)) + " ";
}
BOOL WINAPI ProcessContext(HANDLE context) {
  Declared("process", context);
  return processAccepts;
}
HANDLE WINAPI ThreadContext(HANDLE context) {
  Declared("thread", context);
  return threadAnswer;
}
BOOL WINAPI ProcessAware() {
  Declared("system", nullptr);
  return TRUE;
}
FARPROC FindNoLaterCall(const char*) { return nullptr; }  // Windows XP
FARPROC FindLaterCall(const char* name) {
  const std::string n = name;
  void* call = n == "SetProcessDpiAwarenessContext"  ? reinterpret_cast<void*>(ProcessContext)
               : n == "SetThreadDpiAwarenessContext" ? reinterpret_cast<void*>(ThreadContext)
               : n == "SetProcessDPIAware"           ? reinterpret_cast<void*>(ProcessAware)
                                                     : nullptr;
  return laterCalls.find(n) == std::string::npos ? nullptr : reinterpret_cast<FARPROC>(call);
}

TEST(OptionalCalls, ResolutionAwarenessAsFarAsTheSystemGoes) {
  const std::string since1607 = "SetThreadDpiAwarenessContext SetProcessDPIAware";
  const std::string all = "SetProcessDpiAwarenessContext " + since1607;
  const HANDLE given = reinterpret_cast<HANDLE>(-2);
  using A = ResolutionAwareness;
  const struct { std::string calls; BOOL process; HANDLE thread; A reached; const char* declared; } systems[] = {
      {all, TRUE, nullptr, A::kPerMonitor, "process-4 "},                         // 10 from 1703
      {all, FALSE, given, A::kPerMonitor, "process-4 system0 thread-4 "},         // declared before
      {since1607, FALSE, nullptr, A::kSystem, "system0 thread-4 "},               // 10 1607
      {"SetProcessDPIAware", FALSE, nullptr, A::kSystem, "system0 "},             // Vista to 8.1
      {"", FALSE, nullptr, A::kNone, ""}};                                        // XP
  SetLaterCallFinder(FindLaterCall);
  for (const auto& s : systems) {
    std::tie(laterCalls, processAccepts, threadAnswer) = std::tuple(s.calls, s.process, s.thread);
    declared.clear();
    EXPECT_EQ(s.reached, DeclareResolutionAware()) << s.declared;
    EXPECT_EQ(s.declared, declared);
  }
  SetLaterCallFinder(nullptr);
}

// The message font and the icons at a resolution: the system's own figures,
// or, where it has none, the screen's font and metrics scaled.
TEST(OptionalCalls, FontAndMetricsAtAResolution) {
  for (bool later : {true, false}) {
    SetLaterCallFinder(later ? nullptr : FindNoLaterCall);
    LOGFONTA at96{}, at192{};
    ASSERT_TRUE(MessageFontAt(96, &at96) && MessageFontAt(192, &at192));
    EXPECT_EQ(later ? 2 * at96.lfHeight : at96.lfHeight, at192.lfHeight);
    EXPECT_STREQ(at96.lfFaceName, at192.lfFaceName);
    EXPECT_EQ(std::pair(32, 64), std::pair(SystemMetricAt(SM_CXICON, 96), SystemMetricAt(SM_CXICON, 192)));
  }
  SetLaterCallFinder(nullptr);
}

// The icon and the dialogs are seen wherever they are shown.
TEST(Resources, NameTheSystemListsTheSaverUnder) {
  char name[32] = {};
  LoadStringA(Self(), IDS_PROGRAM_NAME, name, sizeof name);
  EXPECT_STREQ("Nivalo", name);
}

// Moves the cursor to (400 + dx, 300 + dy) and says whether that ends the saver.
bool MoveEnds(HWND saver, int dx, int dy) {
  SetCursorPos(400 + dx, 300 + dy);
  SendMessageA(saver, WM_MOUSEMOVE, 0, 0);
  return TakeMessages(saver, WM_CLOSE) > 0;
}
// A pen hovering over (400 + dx, 300 + dy), with the cursor left where it is.
bool HoverEnds(HWND saver, int dx, int dy) {
  SendMessageA(saver, WM_POINTERUPDATE, MAKEWPARAM(1, 0), MAKELPARAM(400 + dx, 300 + dy));
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

  for (auto moveEnds : {MoveEnds, HoverEnds}) {
    SetCursorPos(400, 300);
    TakeMouseBaseline();
    for (POINT d : {POINT{3, 1}, {-2, -2}, {3, 0}}) EXPECT_FALSE(moveEnds(saver, d.x, d.y)) << "4 pixels of travel";
    EXPECT_EQ(400, SavedCursor().x) << "the baseline stays, so small moves add up";
    EXPECT_TRUE(moveEnds(saver, 3, 2)) << "5 pixels";
    EXPECT_EQ(403, SavedCursor().x) << "a move that ends the saver becomes the new baseline";
  }

  const struct { UINT message; WPARAM wParam; bool closes; } inputs[] = {
      {WM_KEYDOWN, 0, true}, {WM_SYSKEYDOWN, 0, true}, {WM_LBUTTONDOWN, 0, true},
      {WM_RBUTTONDOWN, 0, true}, {WM_MBUTTONDOWN, 0, true}, {WM_KEYUP, 0, false},
      {WM_LBUTTONUP, 0, false}, {WM_ACTIVATEAPP, TRUE, false}, {WM_ACTIVATEAPP, FALSE, true},
      {WM_POWER, PWR_SUSPENDRESUME, false}, {WM_POWER, PWR_SUSPENDREQUEST, true},
      {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, true}, {WM_POINTERDOWN, MAKEWPARAM(1, 0), true},
      {WM_POINTERUPDATE, MAKEWPARAM(1, POINTER_MESSAGE_FLAG_INCONTACT), true}};
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
  EXPECT_NE(nullptr, GetCursor()) << "a preview leaves the cursor alone";

  for (UINT message : {WM_KEYDOWN, WM_LBUTTONDOWN, WM_ACTIVATEAPP, WM_POINTERDOWN}) {
    SendMessageA(preview, message, 0, 0);
  }
  EXPECT_FALSE(MoveEnds(preview, 300, 300));
  EXPECT_FALSE(HoverEnds(preview, 300, 300));
  EXPECT_EQ(0, DisplayStateWatches()) << "the preview runs on whatever the display does";
  SendDisplayState(preview, kConsoleDisplayState, 0);
  EXPECT_FALSE(ScenePaused());
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

// While the display is off no frame is drawn and the wind stands still, with
// its timers as they ran: a rising gust's, or the falling gust's that
// calmed before its time ran out.
TEST(SaverWindow, StandsStillWhileTheDisplayIsOff) {
  HWND saver = StartSaver();
  EXPECT_EQ(2, DisplayStateWatches()) << "the console display's state and the monitors' power";
  const GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  const struct { const GUID* setting; DWORD value; bool paused; } notices[] = {
      {&kConsoleDisplayState, 1, false},  // as the system tells at once when asked
      {&kConsoleDisplayState, 0, true}, {&kMonitorPowerOn, 0, true}, {&kConsoleDisplayState, 2, false},
      {&kMonitorPowerOn, 0, true},      {&other, 1, true},           {&kMonitorPowerOn, 1, false}};
  const struct { std::vector<UINT_PTR> wind; const char* timers; } gusts[] = {
      {{kCalmTimer, kRiseStepTimer}, "135"}, {{kRiseEndTimer, kFallStepTimer, kFallStepTimer}, "146"}};
  for (const auto& g : gusts) {
    for (UINT_PTR id : g.wind) RunWindTimer(saver, id);
    const WindState wind = Wind();
    for (const auto& n : notices) {
      const int frames = SceneFrameCounter();
      EXPECT_EQ(TRUE, SendDisplayState(saver, *n.setting, n.value));
      EXPECT_EQ(n.paused, ScenePaused()) << n.value;
      EXPECT_EQ(n.paused ? "" : g.timers, ArmedTimers(saver, kFrameTimer)) << n.value;
      if (!n.paused) continue;
      RunFrames(saver, 3);
      RunWindTimer(saver, kRiseStepTimer);
      EXPECT_EQ(frames, SceneFrameCounter()) << "no frame while off";
      EXPECT_EQ(wind.strength, Wind().strength) << "no wind while off";
    }
    EXPECT_EQ(wind.phase, Wind().phase);
    const int frames = SceneFrameCounter();
    RunFrames(saver, 2);
    EXPECT_EQ(frames + 2, SceneFrameCounter()) << "on again, the scene goes on";
  }
  EXPECT_EQ(0, TakeMessages(saver, WM_CLOSE)) << "the display's state never ends the saver";
  StopSaver(saver);
  EXPECT_EQ(0, DisplayStateWatches()) << "the notices go with the window";

  SetLaterCallFinder(FindNoLaterCall);
  saver = StartSaver();
  EXPECT_EQ(0, DisplayStateWatches());
  StopSaver(saver);
  SetLaterCallFinder(nullptr);
}

// On Windows NT the password flag is never looked at.
TEST(SaverWindow, WindowsNtIgnoresThePasswordFlag) {
  SetPasswordFlag(1);
  InitProcessState(Self());
  LoadPasswordVerifier();
  EXPECT_FALSE(VerifierLoaded());
  EXPECT_EQ(nullptr, GetModuleHandleA("PASSWORD.CPL"));
  HWND saver = StartSaver();
  EXPECT_EQ(0, SendMessageA(saver, kVerifyRequest, 0, 0)) << "left to the default procedure";
  StopSaver(saver);
  SetPasswordFlag(-1);
}

}  // namespace
