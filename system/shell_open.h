// Every request to the system shell goes through here, so that a test can
// see it without a browser or another program being started.
#pragma once

#include <windows.h>

HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, const char* parameters,
                    const char* directory, int show);

// Replaces the real shell call by a function that answers in its place;
// null puts the real call back.
using ShellOpenStandIn = HINSTANCE (*)(HWND owner, const char* verb, const char* file,
                                        const char* parameters, const char* directory, int show);
void SetShellOpenStandIn(ShellOpenStandIn standIn);
