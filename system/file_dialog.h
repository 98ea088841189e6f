// The system's open-file dialog, behind a seam so that a test can answer it
// without a modal window.
#pragma once

#include <windows.h>
#include <commdlg.h>

BOOL ChooseOpenFile(OPENFILENAMEA* request);

// Replaces the real dialog by a function that answers in its place; null
// puts the real dialog back.
using FileDialogStandIn = BOOL (*)(OPENFILENAMEA* request);
void SetFileDialogStandIn(FileDialogStandIn standIn);
