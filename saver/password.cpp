#include "saver/password.h"

#include "system/shell_state.h"

namespace {

using VerifyFunction = BOOL(WINAPI*)(HWND);

constexpr DWORD kNeverChecked = ~0u;
constexpr DWORD kRecheckMs = 200;

HMODULE verifierLibrary = nullptr;
VerifyFunction verifier = nullptr;
int closing = 0;
int checkingPassword = 0;
DWORD lastPasswordCheck = kNeverChecked;
DWORD(WINAPI* tickCount)() = GetTickCount;

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

bool SaverClosing() { return closing != 0; }
bool CheckingPassword() { return checkingPassword != 0; }

int CheckPasswordOnClose(HWND window) {
  if (checkingPassword || closing) return 0;
  if (!verifier) {
    closing = 1;
    return 1;
  }
  const DWORD now = tickCount();
  if (lastPasswordCheck != kNeverChecked && now - lastPasswordCheck < kRecheckMs) return 0;

  checkingPassword = 1;
  // The timer messages that piled up would only animate behind the prompt.
  MSG pending;
  for (int i = 0; i < 2; ++i) {
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  }
  const LRESULT answer = SendMessageA(window, kVerifyRequest, 0, 0);
  closing = answer != 0 ? 1 : 0;
  checkingPassword = 0;
  if (!closing) SetCursor(nullptr);
  lastPasswordCheck = tickCount();
  return closing;
}

// A test seam (tests/support/seams.h); the program never calls it.
void ResetPasswordState(DWORD(WINAPI* clock)()) {
  closing = 0;
  checkingPassword = 0;
  lastPasswordCheck = kNeverChecked;
  tickCount = clock;
}
