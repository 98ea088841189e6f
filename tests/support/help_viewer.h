// The help viewer, a process of its own, seen from a test: its windows can
// only be looked for.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

// "Z:" and the Unix path, with backslashes.
std::string WindowsPath(const char* unixPath);

// A visible dialog box of another process whose caption is not skip (the
// viewer's "Cannot find" box, say): its window, caption and texts.
struct ForeignBox {
  HWND window = nullptr;
  std::string text;
};
ForeignBox FindForeignBox(const char* skip = nullptr);
// Answers it so that whoever waits on it goes on: No to "find the file
// yourself?", OK to the others.
void Dismiss(const ForeignBox& box);

// Looks every 20 ms, for up to 10 s, for the viewer showing the topic of
// this title. A box (see FindForeignBox) fails it at once and is answered.
::testing::AssertionResult AwaitTopic(const std::string& title, const char* skip = nullptr);

// Quits a viewer left open; true once its windows are gone.
bool QuitViewer(const std::string& helpFile);

// Starts the viewer as the system's help call starts it, hidden until asked
// for a topic, and waits up to 10 s for its window. A help call that finds
// no viewer starts one and looks for it at once; under Wine, in a new
// prefix, it is not there yet and the call fails, so a test that needs the
// viewer has it running first.
bool StartViewer();
