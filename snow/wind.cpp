#include "snow/wind.h"

namespace {
WindState wind{};
}

WindState& Wind() { return wind; }

void WindEvent(HWND, UINT_PTR) {}

void ResetWind() { wind = WindState{}; }
