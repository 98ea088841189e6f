// Every resource and control id of the program, shared by the resource
// script and the code. Plain #defines, because the resource compiler reads
// this file too.
#pragma once

// Program icon and name.
#define IDI_PROGRAM 1
#define IDS_PROGRAM_NAME 1

// The built-in mask: the figures 2000, black on white, 640 x 490, 1 bit.
#define IDB_MASK_2000 183

// Dialog templates.
#define IDD_SETTINGS 2003
#define IDC_TITLE_LINE -1
