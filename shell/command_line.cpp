#include "shell/command_line.h"

#include <cstdint>

#include "dialogs/settings_dialog.h"
#include "resources/resource.h"
#include "saver/password.h"
#include "shell/saver_launch.h"
#include "system/optional_calls.h"
#include "system/shell_state.h"

namespace {

constexpr int kNothingRun = -1;

// Characters up to the space count as part of a word, compared unsigned so
// that bytes of other code pages do too.
bool IsWordCharacter(char c) { return static_cast<unsigned char>(c) > ' '; }

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

LONG WINAPI ClearRunningStateFilter(EXCEPTION_POINTERS* exception) {
  LONG decision = UnhandledExceptionFilter(exception);
  if (decision == EXCEPTION_EXECUTE_HANDLER) {
    SetSaverRunning(0);
    ExitProcess(static_cast<UINT>(kNothingRun));
  }
  return decision;
}

}  // namespace

const char* SkipProgramName(const char* p) {
  if (*p == '"') {
    p = CharNextA(p);
    while (*p && *p != '"') p = CharNextA(p);
    if (*p == '"') p = CharNextA(p);
  } else {
    while (IsWordCharacter(*p)) p = CharNextA(p);
  }
  while (*p && !IsWordCharacter(*p)) p = CharNextA(p);
  return p;
}

void SaverMain() {
  const char* arguments = SkipProgramName(GetCommandLineA());
  SetUnhandledExceptionFilter(ClearRunningStateFilter);
  ExitProcess(static_cast<UINT>(DispatchMode(GetModuleHandleA(nullptr), arguments)));
}

// Window handles carry 32 significant bits on 64-bit Windows too: the
// number wraps at 32 bits, and a 64-bit build widens it as the system
// widens a handle that comes from a 32-bit program, by its sign.
HWND ParseWindowHandle(const char* text) {
  uint32_t value = 0;
  for (const char* p = text; *p >= '0' && *p <= '9'; ++p) value = value * 10u + (*p - '0');
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

int DispatchMode(HINSTANCE instance, const char* arguments) {
  StartShell(instance);
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
        if (!Shell().win9xPlatform) return kNothingRun;
        return ChangePasswordMode(SkipSpaces(p + 1));
      default:
        return kNothingRun;
    }
  }
}

int ShowSettingsDialog(HWND parent) {
  // Before the first window: the dialog, its font and its pictures are made
  // for the screen's real resolution. The saver's own window stays as the
  // system enlarges it, at the size the user knows.
  DeclareResolutionAware();
  return static_cast<int>(DialogBoxParamA(Shell().instance, MAKEINTRESOURCEA(IDD_SETTINGS), parent,
                                          SettingsDialogProc, 0));
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
