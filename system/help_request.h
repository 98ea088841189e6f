// Every help request of the program goes through here, so that a test can
// see each one (window, file, command, data) without a help viewer opening.
#pragma once

#include <windows.h>

BOOL RequestHelp(HWND window, const char* file, UINT command, ULONG_PTR data);

// Replaces the real help call by a function that answers in its place; null
// puts the real call back.
using HelpStandIn = BOOL (*)(HWND window, const char* file, UINT command, ULONG_PTR data);
void SetHelpStandIn(HelpStandIn standIn);
