#include "support/test_support.h"

#include "saver/password.h"
#include "program/saver_launch.h"
#include "snow/random.h"
#include "snow/wind.h"
#include "surface/surface.h"
#include "system/message_box.h"
#include "system/shell_open.h"
#include "system/process_state.h"
#include "system/timer.h"

namespace {

std::vector<SeenMessageBox> seen;

int Record(HWND owner, const char* text, const char* caption, UINT type) {
  seen.push_back({owner, text ? text : "", caption ? caption : "", type});
  return IDOK;
}

std::vector<SeenShellCall> shellCalls;

HINSTANCE RecordShellCall(HWND owner, const char* verb, const char* file, const char* parameters,
                          const char* directory, int show) {
  shellCalls.push_back({owner, verb ? verb : "", file ? file : "", parameters ? parameters : "",
                        directory != nullptr, show});
  return reinterpret_cast<HINSTANCE>(42);  // what the shell answers on success
}

std::vector<SeenTimer> timers;

// Removes every message waiting for this thread, except paint requests,
// which are handled.
void DropPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_PAINT) DispatchMessageA(&msg);
  }
}

}  // namespace

void ClearStoredSettings() {  // the settings' key, then its parents below Software
  std::string key = kSettingsKeyPath;
  for (; key.find('\\') != key.npos; key.erase(key.rfind('\\'))) RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

void StoreSettings(const SettingsEdit& edit) {
  ResetSettings();
  ChangeSettings(edit);
  SaveSettings();
}

void ChangeSettings(const SettingsEdit& edit) {
  SettingsRecord r = Settings();
  edit(r);
  ReplaceSettings(r);
}

void SetPasswordFlag(int value) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  const DWORD v = value;
  if (value < 0) RegDeleteValueA(key, "ScreenSaveUsePassword");
  else RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  RegCloseKey(key);
}

SettingsRecord StoredRecord() {
  const SettingsRecord mine = Settings();
  LoadSettings();
  const SettingsRecord stored = Settings();
  ReplaceSettings(mine);
  return stored;
}

std::vector<uint8_t> StoredSettingsValue(bool* keyExists) {
  std::vector<uint8_t> bytes(4096);
  HKEY k = nullptr;
  const bool opened = RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &k) == ERROR_SUCCESS;
  if (keyExists) *keyExists = opened;
  DWORD size = static_cast<DWORD>(bytes.size());
  if (!opened || RegQueryValueExA(k, kSettingsValueName, nullptr, nullptr, bytes.data(), &size)) size = 0;
  if (opened) RegCloseKey(k);
  bytes.resize(size);
  return bytes;
}

std::vector<SeenMessageBox>& RecordMessageBoxes() {
  seen.clear();
  SetMessageBoxStandIn(Record);
  return seen;
}

std::vector<SeenShellCall>& RecordShellCalls() {
  shellCalls.clear();
  SetShellOpenStandIn(RecordShellCall);
  return shellCalls;
}

std::vector<SeenTimer>& RecordTimers() {
  timers.clear();
  SetTimerObserver([](HWND, UINT_PTR id, UINT period) { timers.push_back({id, period}); });
  return timers;
}

std::string WriteTempFile(const char* name, const std::string& bytes) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + name;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return path;
}

HWND StartSaver(const SettingsEdit& edit, HWND parent) {
  InitProcessState(GetModuleHandleA(nullptr));
  RecordMessageBoxes();
  StoreSettings(edit);
  ResetRandom();  // the scene is built as in a process of its own
  ResetWind();
  HWND saver = CreateSaverWindow(parent);
  SettleScene(saver);
  return saver;
}

void SettleScene(HWND w) {
  UpdateWindow(w);
  DropPendingMessages();
  ResetRandom();
  ResetWind();
}

void StopSaver(HWND saver) {
  DestroyWindow(saver);
  UnregisterSaverClass();
  DropPendingMessages();
  ResetProcessState();
  ResetPasswordState();
  ResetSaverWindowState();
  ResetDefaultSaverState();
  ResetSleigh();  // the next scene's sleigh and frame count as in a fresh process
  ResetScene();
  ClearStoredSettings();
}

int TakeMessages(HWND w, UINT message) {
  int n = 0;
  for (MSG msg; PeekMessageA(&msg, w, message, message, PM_REMOVE);) ++n;
  return n;
}

void RunFrames(HWND saver, int n) {
  for (int i = 0; i < n; ++i) SendMessageA(saver, WM_TIMER, kFrameTimer, 0);
}

void RunWindTimer(HWND saver, UINT_PTR id) { SendMessageA(saver, WM_TIMER, id, 0); }

std::string ArmedTimers(HWND w, UINT_PTR first) {
  std::string armed;
  for (UINT_PTR id = first; id <= kFallStepTimer; ++id) {
    if (KillTimer(w, id) && SetTimer(w, id, 1000000, nullptr)) armed += static_cast<char>('0' + id);
  }
  return armed;
}

std::string WindowText(HWND window) {
  char text[8192] = "";
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, nullptr);
  return text;
}

Capture CaptureDC(HDC dc, int width, int height) {
  Capture c{width, height, {}};
  const BITMAPINFOHEADER bi{sizeof bi, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ start = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  GdiFlush();
  const uint32_t* p = static_cast<const uint32_t*>(bits);
  c.pixels.assign(p, p + static_cast<size_t>(width) * height);
  for (uint32_t& v : c.pixels) v &= 0xFFFFFF;
  SelectObject(memory, start);
  DeleteDC(memory);
  DeleteObject(dib);
  return c;
}

Capture CaptureSaver(HWND saver) {
  HDC dc = GetDC(saver);
  Capture c = CaptureDC(dc, Surface().screenWidth, Surface().screenHeight);
  ReleaseDC(saver, dc);
  return c;
}

void PaintDetail(HWND saver) {
  HDC dc = GetDC(saver);
  const COLORREF colours[] = {RGB(200, 30, 30), RGB(30, 160, 40), RGB(20, 40, 190),
                              RGB(220, 200, 20), RGB(90, 90, 90), RGB(10, 10, 10), RGB(140, 60, 170)};
  const int w = Surface().screenWidth, h = Surface().screenHeight;
  auto fill = [dc](RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  };
  for (int x = 0; x < w; x += 3) fill({x, 0, x + 3, h}, colours[(x / 3) % 7]);
  for (int y = 0; y < h; y += 5) fill({0, y, w, y + 1}, colours[(y / 5 + 3) % 7]);
  WrittenEverywhere();  // as any drawing on the window says
  ReleaseDC(saver, dc);
}

int FreeGdiPlaces() {
  std::vector<HRGN> made;
  while (HRGN r = CreateRectRgn(0, 0, 0, 0)) made.push_back(r);
  for (HRGN r : made) DeleteObject(r);
  return static_cast<int>(made.size());
}

int FreeUserPlaces() {
  std::vector<HMENU> made;
  while (HMENU m = CreatePopupMenu()) made.push_back(m);
  for (HMENU m : made) DestroyMenu(m);
  return static_cast<int>(made.size());
}
