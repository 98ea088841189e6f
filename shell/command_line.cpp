#include "shell/command_line.h"

#include <cstdint>

#include "settings/settings_dialog.h"
#include "shell/password.h"
#include "shell/saver_window.h"
#include "shell/shell_state.h"

const char kSaverClassName[] = "WindowsScreenSaverClass";
const char kFullScreenTitle[] = "Screen Saver";
const char kPreviewTitle[] = "Preview";

namespace {

constexpr int kNothingRun = -1;
constexpr int kSettingsDialog = 2003;

ShellState shell{};

bool Above(char c, unsigned limit) { return static_cast<unsigned char>(c) > limit; }

const char* SkipSpaces(const char* p) {
  while (*p == ' ') p = CharNextA(p);
  return p;
}

// A handle that names an existing window, or null.
HWND ExistingWindow(HWND handle) { return handle && IsWindow(handle) ? handle : nullptr; }

// The handle after "c:", or the foreground window when there is none.
HWND SettingsParent(const char* afterLetter) {
  HWND parent = nullptr;
  if (*afterLetter == ':') parent = ExistingWindow(ParseWindowHandle(afterLetter + 1));
  return parent ? parent : GetForegroundWindow();
}

int RunPreview(const char* afterLetter) {
  HWND parent = ExistingWindow(ParseWindowHandle(SkipSpaces(afterLetter)));
  if (!parent) return kNothingRun;
  return RunSaverWindow(parent);
}

// A full-screen saver that already runs is only brought to the front.
bool BringRunningSaverForward() {
  HWND running = FindWindowA(kSaverClassName, kFullScreenTitle);
  if (!running || !IsWindow(running)) return false;
  SetForegroundWindow(running);
  return true;
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

LONG WINAPI ClearRunningStateFilter(EXCEPTION_POINTERS* exception) {
  LONG decision = UnhandledExceptionFilter(exception);
  if (decision == EXCEPTION_EXECUTE_HANDLER) {
    SetSaverRunning(0);
    ExitProcess(static_cast<UINT>(kNothingRun));
  }
  return decision;
}

}  // namespace

ShellState& Shell() { return shell; }

int DetectWin9xPlatform() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 148 bytes
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
}

const char* SkipProgramName(const char* p) {
  if (*p == '"') {
    p = CharNextA(p);
    while (*p && *p != '"') p = CharNextA(p);
    if (*p == '"') p = CharNextA(p);
  } else {
    while (Above(*p, ' ')) p = CharNextA(p);
  }
  while (*p && !Above(*p, ' ')) p = CharNextA(p);
  return p;
}

void SaverMain() {
  const char* arguments = SkipProgramName(GetCommandLineA());
  SetUnhandledExceptionFilter(ClearRunningStateFilter);
  ExitProcess(static_cast<UINT>(DispatchMode(GetModuleHandleA(nullptr), arguments)));
}

HWND ParseWindowHandle(const char* text) {
  uint32_t value = 0;
  for (const char* p = text; *p >= '0' && *p <= '9'; ++p) value = value * 10u + (*p - '0');
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

int DispatchMode(HINSTANCE instance, const char* arguments) {
  shell.instance = instance;
  shell.win9xPlatform = DetectWin9xPlatform();
  for (const char* p = arguments;; p = CharNextA(p)) {
    switch (*p) {
      case 0:
        return ShowSettingsDialog(nullptr);
      case ' ':
      case '-':
      case '/':
        continue;
      case 'S':
      case 's':
        return RunSaverWindow(nullptr);
      case 'P':
      case 'p':
      case 'L':
      case 'l':
        return RunPreview(p + 1);
      case 'C':
      case 'c':
        return ShowSettingsDialog(SettingsParent(p + 1));
      case 'A':
      case 'a':
        if (!shell.win9xPlatform) return kNothingRun;
        return ChangePasswordMode(SkipSpaces(p + 1));
      default:
        return kNothingRun;
    }
  }
}

int ShowSettingsDialog(HWND parent) {
  return static_cast<int>(DialogBoxParamA(shell.instance, MAKEINTRESOURCEA(kSettingsDialog),
                                          parent, SettingsDialogProc, 0));
}

int ChangePasswordMode(const char* text) {
  using ChangeFunction = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
  HWND parent = ExistingWindow(ParseWindowHandle(text));
  if (!parent) parent = GetForegroundWindow();
  HMODULE mpr = LoadLibraryA("MPR.DLL");
  if (!mpr) return 0;
  auto change = reinterpret_cast<ChangeFunction>(
      reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA")));
  if (change) change("SCRSAVE", parent, 0, nullptr);
  FreeLibrary(mpr);
  return 0;
}

int RunSaverWindow(HWND parent) {
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  wc.lpfnWndProc = SaverWindowProc;
  wc.hInstance = shell.instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kSaverClassName;

  int x = 0, y = 0, width = 0, height = 0;
  const char* title;
  DWORD style;
  DWORD exStyle = 0;
  if (parent) {
    RECT client;
    GetClientRect(parent, &client);
    width = client.right;
    height = client.bottom;
    title = kPreviewTitle;
    style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    shell.previewMode = 1;
  } else {
    HDC screen = GetDC(nullptr);
    RECT clip{};
    GetClipBox(screen, &clip);
    ReleaseDC(nullptr, screen);
    x = clip.left;
    y = clip.top;
    width = clip.right - clip.left;
    height = clip.bottom - clip.top;
    title = kFullScreenTitle;
    style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    exStyle = WS_EX_TOPMOST;
    if (BringRunningSaverForward()) return 0;
    LoadPasswordVerifier();
  }

  shell.autoPlayMessage = shell.win9xPlatform ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

  int code = kNothingRun;
  if (RegisterClassA(&wc)) {
    shell.saverWindow = CreateWindowExA(exStyle, kSaverClassName, title, style, x, y, width,
                                        height, parent, nullptr, shell.instance, nullptr);
  }
  if (shell.saverWindow) {
    if (!parent) SetForegroundWindow(shell.saverWindow);
    code = RunMessageLoop();
  }
  UnregisterClassA(kSaverClassName, shell.instance);
  UnloadPasswordVerifier();
  return code;
}
