// The built Nivalohelp.hlp in the real help viewer: the contents topic and
// every help context id of the settings dialog's table open the topic that
// the topics file, which the help file is made from, gives them.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "resources/resource.h"
#include "settings/context_help.h"
#include "support/help_viewer.h"

namespace {

struct Titles {
  std::string contents;
  std::map<DWORD, std::string> byId;
};

// The titles of the topics file's "== NAME IDS | Title" headers.
Titles ReadTitles() {
  Titles titles;
  std::ifstream file("Z:" NIVALO_TOPICS_UNIX_PATH);
  for (std::string line; std::getline(file, line);) {
    const size_t bar = line.find('|');
    if (line.compare(0, 2, "==") != 0 || bar == std::string::npos) continue;
    std::string title = line.substr(bar + 1);
    title.erase(0, title.find_first_not_of(' '));
    title.erase(title.find_last_not_of(" \r") + 1);
    std::istringstream words(line.substr(2, bar - 2));
    std::string word;
    words >> word;  // the topic's name
    while (words >> word) {
      if (word == "contents") {
        titles.contents = title;
      } else {
        titles.byId[std::stoul(word)] = title;
      }
    }
  }
  return titles;
}

// A few controls and the titles their users read: ids shifted or swapped in
// the table fail here.
TEST(HelpTable, ControlsOpenTheirOwnTopics) {
  const struct {
    int control;
    const char* title;
  } kChecks[] = {
      {IDOK, "OK"},
      {IDC_FLAKE_COUNT, "Number of flakes"},
      {IDC_FLAKE_WOBBLE, "Wobble"},
      {IDC_RED_NOSE, "Red nose"},
      {IDC_SLEIGH_LARGE_PICTURE, "Large sleigh"},
      {IDC_GUST_FALL_TIME_PICTURE, "Gust fall time"},
      {IDC_MASK_PATH, "Mask"},
      {IDC_WEB_PAGE, "WWW"},
  };
  const Titles titles = ReadTitles();
  for (const auto& c : kChecks) {
    const auto topic = titles.byId.find(HelpContextOf(c.control));
    EXPECT_EQ(c.title, topic == titles.byId.end() ? "(no topic)" : topic->second)
        << "control " << c.control;
  }
}

struct HelpCall {
  HWND owner;
  std::string file;
  UINT command;
  DWORD id;
};

DWORD WINAPI CallHelp(void* argument) {
  auto* call = static_cast<HelpCall*>(argument);
  WinHelpA(call->owner, call->file.c_str(), call->command, call->id);
  return 0;
}

class HelpViewer : public testing::Test {
 protected:
  void TearDown() override {
    EXPECT_TRUE(QuitViewer(path)) << "the viewer did not quit";
    DestroyWindow(owner);
  }

  // The help call runs on a worker thread, as the viewer holds it while it
  // shows a box, and AwaitTopic answers the box.
  ::testing::AssertionResult Open(UINT command, DWORD id, const std::string& title) {
    HelpCall call{owner, path, command, id};
    HANDLE thread = CreateThread(nullptr, 0, CallHelp, &call, 0, nullptr);
    ::testing::AssertionResult shown = AwaitTopic(title);
    if (WaitForSingleObject(thread, 10000) == WAIT_TIMEOUT) {
      TerminateThread(thread, 0);
      shown = ::testing::AssertionFailure() << "WinHelpA did not return";
    }
    CloseHandle(thread);
    return shown << " (help context " << id << ")";
  }

  HWND owner = CreateWindowA("STATIC", "help test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             nullptr, nullptr);
  std::string path = WindowsPath(NIVALO_HLP_UNIX_PATH);
};

TEST_F(HelpViewer, ContentsAndEveryIdOfTheHelpTableOpenTheirTopics) {
  const Titles titles = ReadTitles();
  ASSERT_FALSE(titles.contents.empty()) << "no contents topic in " NIVALO_TOPICS_UNIX_PATH;
  ::testing::AssertionResult contents = Open(HELP_CONTENTS, 0, titles.contents);
  // Wine sometimes refuses the first help call in a new prefix.
  if (!contents) contents = Open(HELP_CONTENTS, 0, titles.contents);
  ASSERT_TRUE(contents);

  std::string previous = titles.contents;
  int wrong = 0;
  for (size_t i = 0; kHelpTable[i] != 0; i += 2) {
    const auto topic = titles.byId.find(kHelpTable[i + 1]);
    if (topic == titles.byId.end()) {
      ADD_FAILURE() << "control " << kHelpTable[i] << ": help context " << kHelpTable[i + 1]
                    << " has no topic";
      continue;
    }
    // The same topic twice in a row would leave the text as it was.
    if (topic->second == previous) {
      ASSERT_TRUE(Open(HELP_CONTENTS, 0, titles.contents));
    }
    const ::testing::AssertionResult shown = Open(HELP_CONTEXT, kHelpTable[i + 1], topic->second);
    EXPECT_TRUE(shown) << "control " << kHelpTable[i];
    wrong += !shown;
    ASSERT_LT(wrong, 3) << "the sweep stops here";
    previous = topic->second;
  }
}

}  // namespace
