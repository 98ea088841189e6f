#include "blackbox/blackbox_support.h"

#include <gtest/gtest.h>

#include "support/help_viewer.h"

const char kSaverClass[] = "WindowsScreenSaverClass";
const char kDialogClass[] = "#32770";
const char kDialogTitle[] = "Nivalo screen saver settings";

std::string SaverPath() {
  char unixPath[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("NIVALO_SCR", unixPath, sizeof unixPath)) {
    ADD_FAILURE() << "NIVALO_SCR names no Nivalo.scr to test";
  }
  return WindowsPath(unixPath);
}

Saver::Saver(const std::string& arguments, const std::string& program) {
  std::string line = "\"" + program + "\" " + arguments;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
  if (started) WaitForInputIdle(pi.hProcess, 10000);
}

Saver::~Saver() {
  if (!started) return;
  if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

long Saver::Exit(DWORD ms) {
  if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return -2;
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  return static_cast<int>(code);
}

int CountSaverWindows() {
  int n = 0;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, kSaverClass, nullptr)) != nullptr;) ++n;
  return n;
}

HWND DisplayProperties() {
  return CreateWindowExA(0, "STATIC", "Display Properties", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 260, 200,
                         nullptr, nullptr, nullptr, nullptr);
}

void PressKey(BYTE vk) {
  keybd_event(vk, 0, 0, 0);
  keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

void MoveMouseTo(int x, int y) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN);
  in.mi.dy = (y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof(INPUT));
}

void RightClick() {
  mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
}

bool Await(const std::function<bool()>& done, DWORD ms) {
  for (DWORD waited = 0;; waited += 20, Sleep(20)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (done()) return true;
    if (waited >= ms) return false;
  }
}

HWND AwaitWindow(const char* cls, const char* title) {
  HWND w = nullptr;
  Await([&] { return (w = FindWindowA(cls, title)) && IsWindowVisible(w); });
  return w && IsWindowVisible(w) ? w : nullptr;
}

Capture CaptureScreen() {
  HDC screen = GetDC(nullptr);
  Capture c = CaptureDC(screen, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  ReleaseDC(nullptr, screen);
  return c;
}

Capture AwaitScreen(const std::function<bool(const Capture&)>& shows, DWORD ms) {
  Capture c;
  Await([&] { return shows(c = CaptureScreen()); }, ms);
  return c;
}

bool AwaitGreyScreen() {
  return Await([] {
    const std::vector<uint32_t> pixels = CaptureScreen().pixels;
    return pixels == std::vector<uint32_t>(pixels.size(), 0x808080);
  });
}

void PostClick(HWND dialog, int control) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
}

bool ChooseFile(HWND dialog, int button, const std::string& path) {
  PostClick(dialog, button);
  HWND open = AwaitWindow(kDialogClass, "Open"), name = nullptr;
  // The file name box, a combo box that holds the edit; the dialog makes
  // its controls after its own window.
  if (!open || !Await([&] { return (name = GetDlgItem(open, 0x47c)) != nullptr; })) return false;
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostClick(open, IDOK);
  return true;
}
