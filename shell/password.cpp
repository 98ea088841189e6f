#include "shell/password.h"

#include "shell/saver_window.h"
#include "shell/shell_state.h"

namespace {

using VerifyFunction = BOOL(WINAPI*)(HWND);

HMODULE verifierLibrary = nullptr;
VerifyFunction verifier = nullptr;

constexpr DWORD kRecheckMs = 200;

// Reads "ScreenSaveUsePassword"; non-zero means a password is required.
bool PasswordRequired() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD value = 0;
  DWORD size = sizeof value;
  LONG read = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && value != 0;
}

}  // namespace

void SetSaverRunning(int on) {
  if (!Shell().win9xPlatform) return;
  UINT previous = 0;
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, on, &previous, 0);
}

void LoadPasswordVerifier() {
  if (!Shell().win9xPlatform) return;
  if (verifierLibrary) UnloadPasswordVerifier();
  if (!PasswordRequired()) return;
  verifierLibrary = LoadLibraryA("PASSWORD.CPL");
  if (!verifierLibrary) return;
  verifier = reinterpret_cast<VerifyFunction>(
      reinterpret_cast<void*>(GetProcAddress(verifierLibrary, "VerifyScreenSavePwd")));
  if (verifier) {
    SetSaverRunning(1);
  } else {
    UnloadPasswordVerifier();
  }
}

void UnloadPasswordVerifier() {
  if (!Shell().win9xPlatform || !verifierLibrary) return;
  FreeLibrary(verifierLibrary);
  verifierLibrary = nullptr;
  if (verifier) {
    verifier = nullptr;
    SetSaverRunning(0);
  }
}

int VerifierLoaded() { return verifier != nullptr; }

int RunVerifier(HWND window) { return verifier ? (verifier(window) ? 1 : 0) : 1; }

int CheckPasswordOnClose(HWND window) {
  SaverProcState& state = SaverState();
  if (state.checkingPassword || state.closing) return 0;
  if (!verifier) {
    state.closing = 1;
    return 1;
  }
  DWORD now = GetTickCount();
  if (state.lastPasswordCheck != ~0u && now - state.lastPasswordCheck < kRecheckMs) return 0;

  state.checkingPassword = 1;
  MSG pending;
  for (int i = 0; i < 2; ++i) {
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  }
  LRESULT answer = SendMessageA(window, kVerifyRequest, 0, 0);
  state.closing = answer != 0 ? 1 : 0;
  state.checkingPassword = 0;
  if (!state.closing) SetCursor(nullptr);
  state.lastPasswordCheck = GetTickCount();
  return state.closing;
}
