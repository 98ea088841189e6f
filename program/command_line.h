// The program's entry and its mode switch: full screen, preview, settings,
// change password.
#pragma once

#include <windows.h>

// Reads the command line, runs the mode and ends the process with its code.
[[noreturn]] void SaverMain();
// The exit code of the mode that the argument text names.
int DispatchMode(HINSTANCE instance, const char* arguments);
// A window handle written as an unsigned decimal number (wrapping at 32
// bits, widened by its sign where handles are 64 bits wide).
HWND ParseWindowHandle(const char* text);
// The settings dialog, with the process declared aware of the screen's
// resolution first.
int ShowSettingsDialog(HWND parent);
int ChangePasswordMode(const char* text);

// The argument text after the program name of a full command line.
const char* SkipProgramName(const char* commandLine);
