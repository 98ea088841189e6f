// Stands in for the display control panel (desk.cpl) in the setup tests,
// where Wine has none: its InstallScreenSaver, which the system's "Install"
// of a screen saver runs through rundll32, notes the file it was given
// under HKEY_CURRENT_USER\Software\Nivalo setup test, value "Installed".
#include <windows.h>

extern "C" __declspec(dllexport) void CALLBACK InstallScreenSaverW(HWND, HINSTANCE, LPWSTR file, int) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Nivalo setup test", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(key, L"Installed", 0, REG_SZ, reinterpret_cast<const BYTE*>(file),
                 static_cast<DWORD>((lstrlenW(file) + 1) * sizeof(WCHAR)));
  RegCloseKey(key);
}
