// The built Nivalohelp.hlp in the real help viewer: every help context id of
// the settings dialog's table opens its control's topic, and the contents
// topic opens. What each id should show is read from the topics file the help
// file is made from.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "resources/resource.h"
#include "settings/context_help.h"

namespace {

struct Topic {
  std::string title;
  std::string firstLine;  // the start of its first paragraph
};

struct TopicsFile {
  bool read = false;
  Topic contents;
  std::map<DWORD, Topic> byId;
};

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// The "== NAME IDS | Title" headers of the topics file and the first text
// line after each.
TopicsFile ReadTopicsFile() {
  TopicsFile file;
  std::FILE* f = std::fopen("Z:" NIVALO_TOPICS_UNIX_PATH, "r");
  if (!f) return file;
  char buffer[4096];
  Topic current;
  std::string ids;
  bool haveTopic = false;
  auto finish = [&] {
    if (!haveTopic) return;
    char word[64];
    for (const char* p = ids.c_str(); std::sscanf(p, "%63s", word) == 1;) {
      if (std::strcmp(word, "contents") == 0) {
        file.contents = current;
      } else {
        file.byId[std::strtoul(word, nullptr, 10)] = current;
      }
      p = std::strstr(p, word) + std::strlen(word);
    }
  };
  while (std::fgets(buffer, sizeof buffer, f)) {
    std::string line = buffer;
    if (line[0] == '#') continue;
    if (line.compare(0, 2, "==") == 0) {
      finish();
      size_t bar = line.find('|');
      if (bar == std::string::npos) break;
      std::string head = Trimmed(line.substr(2, bar - 2));
      size_t space = head.find(' ');
      ids = space == std::string::npos ? "" : head.substr(space + 1);
      current = Topic{Trimmed(line.substr(bar + 1)), ""};
      haveTopic = true;
    } else if (haveTopic && current.firstLine.empty()) {
      current.firstLine = Trimmed(line);
    }
  }
  finish();
  std::fclose(f);
  file.read = true;
  return file;
}

std::string HelpFileWindowsPath() {
  std::string path = "Z:" NIVALO_HLP_UNIX_PATH;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// The viewer is another process: its windows can only be looked for.
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

// The viewer's topic text: the title and the paragraphs, one a line.
std::string ViewerText() {
  HWND viewer = VisibleViewer();
  if (!viewer) return "";
  HWND text = nullptr;
  EnumChildWindows(viewer, FindTextChild, reinterpret_cast<LPARAM>(&text));
  if (!text) return "";
  char buffer[8192] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(text, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return "";
  }
  std::string s;  // line ends as "\n", whichever the viewer writes
  for (DWORD_PTR i = 0; i < copied; ++i) {
    if (buffer[i] != '\r') {
      s += buffer[i];
    } else if (i + 1 == copied || buffer[i + 1] != '\n') {
      s += '\n';
    }
  }
  return s;
}

// A message box of another process (the viewer's "Cannot find" or "Error
// while reading" box): its caption and text, or "" when there is none.
struct ForeignBox {
  HWND box = nullptr;
  std::string text;
};

BOOL CALLBACK FindForeignBox(HWND w, LPARAM found) {
  char cls[16];
  GetClassNameA(w, cls, sizeof cls);
  DWORD process = 0;
  GetWindowThreadProcessId(w, &process);
  if (std::strcmp(cls, "#32770") != 0 || process == GetCurrentProcessId() || !IsWindowVisible(w))
    return TRUE;
  auto* box = reinterpret_cast<ForeignBox*>(found);
  box->box = w;
  char caption[256] = {}, text[1024] = {};
  GetWindowTextA(w, caption, sizeof caption);
  for (HWND c = nullptr; (c = FindWindowExA(w, c, "Static", nullptr)) != nullptr;) {
    GetWindowTextA(c, text, sizeof text);
    if (text[0]) break;
  }
  box->text = std::string(caption) + ": " + text;
  return FALSE;
}

ForeignBox FindBox() {
  ForeignBox box;
  EnumWindows(FindForeignBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

struct HelpCall {
  HWND owner;
  std::string file;
  UINT command;
  ULONG_PTR data;
  BOOL result;
};

DWORD WINAPI CallHelp(void* argument) {
  auto* call = static_cast<HelpCall*>(argument);
  call->result = WinHelpA(call->owner, call->file.c_str(), call->command, call->data);
  return 0;
}

class HelpTopics : public testing::Test {
 protected:
  void SetUp() override {
    owner = CreateWindowA("STATIC", "help test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                          nullptr);
    path = HelpFileWindowsPath();
  }
  void TearDown() override {
    if (VisibleViewer() || FindWindowA("MS_WINHELP", nullptr)) {
      Help(HELP_QUIT, 0);
      for (int i = 0; i < 250 && FindWindowA("MS_WINHELP", nullptr); ++i) Sleep(20);
      EXPECT_EQ(nullptr, FindWindowA("MS_WINHELP", nullptr)) << "the viewer did not quit";
    }
    DestroyWindow(owner);
  }

  // WinHelpA on a worker thread: the viewer answers a file it cannot read
  // with a modal box and holds the call until the box goes. Such a box
  // fails the test and is closed.
  BOOL Help(UINT command, ULONG_PTR data) {
    HelpCall call{owner, path, command, data, FALSE};
    HANDLE thread = CreateThread(nullptr, 0, CallHelp, &call, 0, nullptr);
    if (!thread) return FALSE;
    bool boxSeen = false;
    for (int i = 0; WaitForSingleObject(thread, 20) == WAIT_TIMEOUT; ++i) {
      ForeignBox box = FindBox();
      if (box.box) {
        if (!boxSeen) ADD_FAILURE() << "the viewer showed a box: " << box.text;
        boxSeen = true;
        PostMessageA(box.box, WM_COMMAND, IDNO, 0);
        PostMessageA(box.box, WM_COMMAND, IDOK, 0);
      }
      if (i == 1000) {
        ADD_FAILURE() << "WinHelpA did not return in 20 s";
        TerminateThread(thread, 0);
        break;
      }
    }
    CloseHandle(thread);
    return call.result;
  }

  // Waits (20 ms steps) for the viewer to show a topic whose text starts
  // with the title and the start of its first paragraph: up to 5 s while
  // the viewer starts, and 1 s once it runs, since the help call returns
  // only after the viewer has taken the command.
  bool Shows(const Topic& topic, std::string* seen, bool starting) {
    const std::string start = topic.title + "\n" + topic.firstLine;
    for (int i = 0; i < (starting ? 250 : 50); ++i, Sleep(20)) {
      *seen = ViewerText();
      if (seen->compare(0, start.size(), start) == 0) return true;
    }
    return false;
  }

  // Opens a topic; the first help call in a fresh Wine prefix is sometimes
  // refused, so a call that shows nothing is made once more.
  ::testing::AssertionResult Open(UINT command, DWORD id, const Topic& topic) {
    std::string seen;
    const bool again = first;
    for (int attempt = 0; attempt < (again ? 2 : 1); ++attempt) {
      const bool shown = Help(command, id) && Shows(topic, &seen, again);
      first = false;
      if (shown) return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "id " << id << " should show \"" << topic.title << "\", the viewer shows \""
           << seen.substr(0, 80) << "\"";
  }

  HWND owner = nullptr;
  std::string path;
  bool first = true;
};

// A few controls and their topics' titles, as the dialog's user reads them:
// they catch a table whose ids are shifted or swapped.
const struct {
  int control;
  const char* title;
} kSpotChecks[] = {
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
    {IDC_FLAKE_COUNT, "Number of flakes"},
    {IDC_FLAKE_WOBBLE, "Wobble"},
    {IDC_SNOWFALL_ON, "Snowfall"},
    {IDC_SLEIGH_LARGE_PICTURE, "Large sleigh"},
    {IDC_GUST_PAUSE, "Calm before a gust"},
    {IDC_GUST_FALL_TIME_PICTURE, "Gust fall time"},
    {IDC_PICTURE_PATH, "Picture"},
    {IDC_MASK_PATH, "Mask"},
    {IDC_FRAME_PERIOD_PICTURE, "Frame period"},
    {IDC_WEB_PAGE, "WWW"},
};

TEST_F(HelpTopics, ContentsOpensTheContentsTopic) {
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << path;
  const TopicsFile topics = ReadTopicsFile();
  ASSERT_TRUE(topics.read);
  ASSERT_FALSE(topics.contents.title.empty()) << "the topics file marks no contents topic";
  EXPECT_TRUE(Open(HELP_CONTENTS, 0, topics.contents));
}

// One viewer for the whole table. Two ids in a row that share a topic would
// leave the text unchanged, so the contents topic is shown between them.
TEST_F(HelpTopics, EveryIdOfTheHelpTableOpensItsControlsTopic) {
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << path;
  const TopicsFile topics = ReadTopicsFile();
  ASSERT_TRUE(topics.read);
  ASSERT_FALSE(topics.contents.title.empty());
  ASSERT_GT(kHelpTableSize, 2u);
  ASSERT_EQ(0u, kHelpTable[kHelpTableSize - 2] | kHelpTable[kHelpTableSize - 1]);

  for (const auto& spot : kSpotChecks) {
    auto topic = topics.byId.find(HelpContextOf(spot.control));
    ASSERT_NE(topics.byId.end(), topic) << "control " << spot.control;
    EXPECT_EQ(spot.title, topic->second.title) << "control " << spot.control;
  }

  std::string previous;
  int shown = 0, wrong = 0;
  for (size_t i = 0; i + 2 < kHelpTableSize; i += 2) {
    const DWORD control = kHelpTable[i], id = kHelpTable[i + 1];
    auto topic = topics.byId.find(id);
    if (topic == topics.byId.end()) {
      ADD_FAILURE() << "control " << control << ": help context " << id << " has no topic";
      continue;
    }
    if (topic->second.title == previous) {
      ASSERT_TRUE(Open(HELP_CONTENTS, 0, topics.contents));
    }
    const ::testing::AssertionResult opened = Open(HELP_CONTEXT, id, topic->second);
    EXPECT_TRUE(opened) << "control " << control;
    if (!opened) ++wrong;
    ASSERT_LT(wrong, 5) << "the sweep stops here";
    previous = topic->second.title;
    ++shown;
  }
  EXPECT_EQ(static_cast<int>(kHelpTableSize / 2 - 1), shown);
}

}  // namespace
