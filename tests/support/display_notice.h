// Stands in for the system where it tells a window of the display's state
// (Wine never does): the notice a window gets when it asked for it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "system/later_messages.h"

// Sends the window the notice that the setting (kConsoleDisplayState or
// kMonitorPowerOn, say) has the value; returns the window's answer.
inline LRESULT SendDisplayState(HWND window, const GUID& setting, DWORD value) {
  struct {
    POWERBROADCAST_SETTING notice;
    BYTE room[sizeof(DWORD)];  // the value runs past the one byte declared
  } sent{};
  sent.notice.PowerSetting = setting;
  sent.notice.DataLength = sizeof value;
  memcpy(reinterpret_cast<BYTE*>(&sent) + offsetof(POWERBROADCAST_SETTING, Data), &value, sizeof value);
  return SendMessageA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&sent.notice));
}
