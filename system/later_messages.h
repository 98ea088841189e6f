// Messages, values and structures of Windows Vista to 10 that the program
// handles, under their own names: the headers for Windows XP, which the
// program is built with, lack them.
#pragma once

#include <windows.h>

// Windows 8: touch and pen. The flags of a pointer message's wParam are in
// its high word, its pointer id in the low word; lParam holds the point in
// screen coordinates.
#ifndef WM_POINTERUPDATE
#define WM_POINTERUPDATE 0x0245
#define WM_POINTERDOWN 0x0246
#define POINTER_MESSAGE_FLAG_INCONTACT 0x00000004
#endif

// Windows 8.1: a window's monitor has another resolution. The new one is
// in both words of wParam; lParam points to the suggested window rectangle.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// Windows Vista: a power setting the window registered for has a new value.
#ifndef PBT_POWERSETTINGCHANGE
#define PBT_POWERSETTINGCHANGE 0x8013
typedef struct {
  GUID PowerSetting;
  DWORD DataLength;
  UCHAR Data[1];
} POWERBROADCAST_SETTING;
#endif
