// F1 in the shipped program's settings dialog, with real key presses: the
// help viewer shows the focused control's topic from the Nivalohelp.hlp the
// build puts beside Nivalo.scr, and a copy of the program without the help
// file goes on working.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "blackbox/blackbox_support.h"
#include "resources/resource.h"

namespace {

const char kDialogCaption[] = "Nivalo screen saver settings";

std::string WindowsPath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// The folder of the shipped Nivalo.scr, with a closing backslash.
std::string ShippedFolder() {
  std::string path = WindowsPath(NIVALO_SCR_UNIX_PATH);
  return path.substr(0, path.rfind('\\') + 1);
}

HWND VisibleViewer() {
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "MS_WINHELP", nullptr)) != nullptr;) {
    if (IsWindowVisible(w)) return w;
  }
  return nullptr;
}

BOOL CALLBACK FindTextChild(HWND child, LPARAM found) {
  char cls[32];
  GetClassNameA(child, cls, sizeof cls);
  if (std::strcmp(cls, "RichEdit20A") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

// The viewer's topic text, its title first, one paragraph a line.
std::string ViewerText() {
  HWND viewer = VisibleViewer();
  HWND text = nullptr;
  if (viewer) EnumChildWindows(viewer, FindTextChild, reinterpret_cast<LPARAM>(&text));
  if (!text) return "";
  char buffer[8192] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(text, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return "";
  }
  std::string s;
  for (DWORD_PTR i = 0; i < copied; ++i) {
    if (buffer[i] != '\r') {
      s += buffer[i];
    } else if (i + 1 == copied || buffer[i + 1] != '\n') {
      s += '\n';
    }
  }
  return s;
}

// A message box that is not the settings dialog itself, shown by another
// process: the viewer's "Cannot find" box, or one of the program's.
struct Box {
  HWND window = nullptr;
  std::string text;
};

BOOL CALLBACK FindBox(HWND w, LPARAM found) {
  char cls[16], caption[256] = {};
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, caption, sizeof caption);
  DWORD process = 0;
  GetWindowThreadProcessId(w, &process);
  if (std::strcmp(cls, "#32770") != 0 || std::strcmp(caption, kDialogCaption) == 0 ||
      process == GetCurrentProcessId() || !IsWindowVisible(w)) {
    return TRUE;
  }
  auto* box = reinterpret_cast<Box*>(found);
  box->window = w;
  box->text = std::string("\"") + caption + "\"";
  for (HWND c = nullptr; (c = FindWindowExA(w, c, "Static", nullptr)) != nullptr;) {
    char text[1024] = {};
    GetWindowTextA(c, text, sizeof text);
    if (text[0]) box->text += std::string(" \"") + text + "\"";
  }
  return FALSE;
}

Box ForeignBox() {
  Box box;
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

// Answers a box so that whoever waits on it goes on: No to "find the file
// yourself?", OK to the others.
void Dismiss(const Box& box) {
  PostMessageA(box.window, WM_COMMAND, IDNO, 0);
  PostMessageA(box.window, WM_COMMAND, IDOK, 0);
}

void PressKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

// Brings the dialog forward and moves the focus to the control, as a Tab
// press would; true when the dialog's thread reports the focus there.
bool FocusControl(HWND dialog, HWND control) {
  SetForegroundWindow(dialog);
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) &&
         info.hwndFocus == control && GetForegroundWindow() == dialog;
}

// Closes a help viewer left open, and waits for its window to go.
void QuitViewer() {
  if (!FindWindowA("MS_WINHELP", nullptr)) return;
  WinHelpA(nullptr, (ShippedFolder() + "Nivalohelp.hlp").c_str(), HELP_QUIT, 0);
  for (int i = 0; i < 250 && FindWindowA("MS_WINHELP", nullptr); ++i) Sleep(20);
}

// Looks every 20 ms, for up to 10 s, for the viewer showing a topic whose
// title is the given one; fails at once on a box.
::testing::AssertionResult AwaitTopic(const char* title) {
  const std::string start = std::string(title) + "\n";
  std::string seen;
  for (int i = 0; i < 500; ++i, Sleep(20)) {
    seen = ViewerText();
    if (seen.compare(0, start.size(), start) == 0) return ::testing::AssertionSuccess();
    Box box = ForeignBox();
    if (box.window) {
      Dismiss(box);
      return ::testing::AssertionFailure() << "a box came instead of \"" << title << "\": "
                                           << box.text;
    }
  }
  return ::testing::AssertionFailure() << "no topic \"" << title << "\" in 10 s; the viewer shows \""
                                       << seen.substr(0, 60) << "\"";
}

class HelpBlackBox : public testing::Test {
 protected:
  void SetUp() override { QuitViewer(); }
  void TearDown() override {
    for (Box box = ForeignBox(); box.window; box = ForeignBox()) {
      Dismiss(box);
      Sleep(50);  // the box's own thread takes it down
    }
    QuitViewer();
    EXPECT_EQ(nullptr, FindWindowA("MS_WINHELP", nullptr)) << "the viewer is still open";
  }
};

// Each control's F1 shows its own topic; the titles between them differ, so
// a topic left from the previous key cannot pass for the next.
const struct {
  int control;
  const char* title;
} kF1Controls[] = {
    {IDC_FLAKE_COUNT, "Number of flakes"},
    {IDC_SNOWFALL_ON, "Snowfall"},
    {IDOK, "OK"},
};

TEST_F(HelpBlackBox, F1ShowsTheFocusedControlsTopicFromTheFileBesideTheProgram) {
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((ShippedFolder() + "Nivalohelp.hlp").c_str()))
      << "the build puts Nivalohelp.hlp beside " << NIVALO_SCR_UNIX_PATH;
  ASSERT_EQ(nullptr, VisibleViewer());
  Saver saver("/c");
  ASSERT_TRUE(saver.started);
  HWND dialog = AwaitWindow("#32770", kDialogCaption);
  ASSERT_NE(nullptr, dialog);

  bool first = true;
  for (const auto& c : kF1Controls) {
    HWND control = GetDlgItem(dialog, c.control);
    ASSERT_NE(nullptr, control) << c.title;
    ASSERT_TRUE(FocusControl(dialog, control)) << c.title;
    PressKey(VK_F1);
    ::testing::AssertionResult shown = AwaitTopic(c.title);
    if (!shown && first && !VisibleViewer() && !ForeignBox().window) {
      // Wine sometimes refuses the very first help call in a new prefix.
      ASSERT_TRUE(FocusControl(dialog, control));
      PressKey(VK_F1);
      shown = AwaitTopic(c.title);
    }
    first = false;
    ASSERT_TRUE(shown) << "F1 on control " << c.control;
    DWORD viewerProcess = 0;
    GetWindowThreadProcessId(VisibleViewer(), &viewerProcess);
    EXPECT_NE(saver.pi.dwProcessId, viewerProcess) << "the viewer is a program of its own";
  }

  QuitViewer();
  ASSERT_TRUE(FocusControl(dialog, GetDlgItem(dialog, IDC_FLAKE_COUNT)));
  PressKey(VK_ESCAPE);
  EXPECT_EQ(0, saver.Exit());
}

// A copy of Nivalo.scr in a folder without Nivalohelp.hlp. After F1 a digit
// typed into the focused box must arrive: a dialog held up by a help call
// (the viewer asks with a modal box where the file is) never reads it.
TEST_F(HelpBlackBox, F1WithoutTheHelpFileLeavesTheDialogWorking) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "nivalo-without-help\\";
  const std::string copy = folder + "Nivalo.scr";
  CreateDirectoryA(folder.c_str(), nullptr);
  DeleteFileA((folder + "Nivalohelp.hlp").c_str());
  ASSERT_TRUE(CopyFileA(WindowsPath(NIVALO_SCR_UNIX_PATH).c_str(), copy.c_str(), FALSE));

  std::string line = "\"" + copy + "\" /c";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi));
  WaitForInputIdle(pi.hProcess, 10000);
  HWND dialog = AwaitWindow("#32770", kDialogCaption);
  HWND edit = dialog ? GetDlgItem(dialog, IDC_FLAKE_COUNT) : nullptr;
  EXPECT_NE(nullptr, edit);

  if (edit && FocusControl(dialog, edit)) {
    PressKey(VK_F1);
    PressKey('7');
    char text[16] = {};
    bool typed = false, boxSeen = false;
    for (int i = 0; i < 250 && !typed; ++i, Sleep(20)) {
      Box box = ForeignBox();
      if (box.window) {
        if (!boxSeen) {
          ADD_FAILURE() << "F1 without the help file brought a box that holds the dialog: "
                        << box.text;
        }
        boxSeen = true;
        Dismiss(box);
      }
      SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 1000, nullptr);
      typed = std::strcmp(text, "7") == 0;
    }
    EXPECT_TRUE(typed) << "the key after F1 did not arrive; the box shows \"" << text << "\"";
    DWORD_PTR result = 0;
    EXPECT_NE(0, SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(pi.hProcess, 0)) << "the program ended";
    EXPECT_TRUE(FocusControl(dialog, edit));
    PressKey(VK_ESCAPE);
  } else {
    ADD_FAILURE() << "the flake count box could not be focused";
  }

  DWORD code = 99;
  if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(pi.hProcess, &code);
  } else {
    ADD_FAILURE() << "Escape did not end the dialog";
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  EXPECT_EQ(0u, code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  DeleteFileA(copy.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
