// Messages, values and structures of Windows Vista to 10 that the program
// handles, under their own names: the headers for Windows XP, which the
// program is built with, lack them.
#pragma once

#include <windows.h>

// Windows Vista: a power setting the window registered for has a new value.
#ifndef PBT_POWERSETTINGCHANGE
#define PBT_POWERSETTINGCHANGE 0x8013
typedef struct {
  GUID PowerSetting;
  DWORD DataLength;
  UCHAR Data[1];
} POWERBROADCAST_SETTING;
#endif
