#include "support/help_viewer.h"

#include <algorithm>
#include <cstring>

#include "support/test_support.h"

namespace {

const char kViewerClass[] = "MS_WINHELP";

BOOL CALLBACK FindTextChild(HWND child, LPARAM found) {
  char cls[32];
  GetClassNameA(child, cls, sizeof cls);
  if (std::strcmp(cls, "RichEdit20A") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

struct BoxSearch {
  const char* skip;
  ForeignBox box;
};

BOOL CALLBACK FindBox(HWND w, LPARAM found) {
  auto* search = reinterpret_cast<BoxSearch*>(found);
  char cls[16], caption[256] = {};
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, caption, sizeof caption);
  DWORD process = 0;
  GetWindowThreadProcessId(w, &process);
  if (std::strcmp(cls, "#32770") != 0 || process == GetCurrentProcessId() || !IsWindowVisible(w) ||
      (search->skip && std::strcmp(caption, search->skip) == 0)) {
    return TRUE;
  }
  search->box = {w, caption};
  for (HWND c = nullptr; (c = FindWindowExA(w, c, "Static", nullptr)) != nullptr;) {
    char text[1024] = {};
    GetWindowTextA(c, text, sizeof text);
    if (text[0]) search->box.text += std::string(": ") + text;
  }
  return FALSE;
}

}  // namespace

std::string WindowsPath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// The visible viewer's topic text: the title, then one paragraph a line.
std::string ViewerText() {
  HWND viewer = FindWindowExA(nullptr, nullptr, kViewerClass, nullptr), text = nullptr;
  while (viewer && !IsWindowVisible(viewer)) viewer = FindWindowExA(nullptr, viewer, kViewerClass, nullptr);
  if (viewer) EnumChildWindows(viewer, FindTextChild, reinterpret_cast<LPARAM>(&text));
  return text ? WindowText(text) : "";
}

ForeignBox FindForeignBox(const char* skip) {
  BoxSearch search{skip, {}};
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
  return search.box;
}

void Dismiss(const ForeignBox& box) {
  PostMessageA(box.window, WM_COMMAND, IDNO, 0);
  PostMessageA(box.window, WM_COMMAND, IDOK, 0);
}

::testing::AssertionResult AwaitTopic(const std::string& title, const char* skip) {
  std::string seen;
  for (int i = 0; i < 500; ++i, Sleep(20)) {
    seen = ViewerText();  // the title, then a line end of either kind
    if (seen.compare(0, title.size(), title) == 0 && seen.find_first_of("\r\n") == title.size()) {
      return ::testing::AssertionSuccess();
    }
    if (ForeignBox box = FindForeignBox(skip); box.window) {
      Dismiss(box);
      return ::testing::AssertionFailure() << "a box came instead of \"" << title << "\": " << box.text;
    }
  }
  return ::testing::AssertionFailure()
         << "no topic \"" << title << "\" in 10 s; the viewer shows \"" << seen.substr(0, 60) << "\"";
}

bool StartViewer() {
  if (!FindWindowA(kViewerClass, nullptr)) {
    char line[] = "winhlp32.exe -x";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  for (int i = 0; i < 500 && !FindWindowA(kViewerClass, nullptr); ++i) Sleep(20);
  return FindWindowA(kViewerClass, nullptr) != nullptr;
}

bool QuitViewer(const std::string& helpFile) {
  if (FindWindowA(kViewerClass, nullptr)) WinHelpA(nullptr, helpFile.c_str(), HELP_QUIT, 0);
  for (int i = 0; i < 250 && FindWindowA(kViewerClass, nullptr); ++i) Sleep(20);
  return FindWindowA(kViewerClass, nullptr) == nullptr;
}
