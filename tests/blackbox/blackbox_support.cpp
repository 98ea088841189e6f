#include "blackbox/blackbox_support.h"

#include <gtest/gtest.h>

#include "support/help_viewer.h"

const char kSaverClass[] = "WindowsScreenSaverClass";

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

HWND AwaitWindow(const char* cls, const char* title) {
  for (int i = 0; i < 500; ++i, Sleep(20)) {
    HWND w = FindWindowA(cls, title);
    if (w && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

Capture CaptureScreen() {
  HDC screen = GetDC(nullptr);
  Capture c = CaptureDC(screen, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  ReleaseDC(nullptr, screen);
  return c;
}

bool AwaitGreyScreen() {
  for (int i = 0; i < 500; ++i, Sleep(20)) {
    const std::vector<uint32_t> pixels = CaptureScreen().pixels;
    if (pixels == std::vector<uint32_t>(pixels.size(), 0x808080)) return true;
  }
  return false;
}
