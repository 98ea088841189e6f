#include "snow/wind.h"

#include "scene/scene.h"
#include "scene/scene_state.h"
#include "settings/settings.h"
#include "snow/random.h"

namespace {
WindState wind{};
}

WindState& Wind() { return wind; }

// The timers always live on the saver window the scene holds; the window
// handed in with the expiry is not needed.
void WindEvent(HWND, UINT_PTR timerId) {
  const SettingsRecord& s = Settings();
  HWND w = Scene().window;
  switch (timerId) {
    case kCalmTimer:  // the calm is over: a gust starts rising
      wind.phase = kWindRising;
      wind.strength = 0;
      KillTimer(w, kCalmTimer);
      SetTimer(w, kRiseStepTimer, s.GustRiseStep, nullptr);
      SetTimer(w, kRiseEndTimer, s.GustRiseTime, nullptr);
      wind.direction = -1;
      if (RandomBelow(10) > 4) wind.direction = 1;
      break;
    case kRiseEndTimer:  // the rise is over: the gust falls
      wind.phase = kWindFalling;
      KillTimer(w, kRiseEndTimer);
      KillTimer(w, kRiseStepTimer);
      SetTimer(w, kFallEndTimer, s.GustFallTime, nullptr);
      SetTimer(w, kFallStepTimer, s.GustFallStep, nullptr);
      break;
    case kFallEndTimer:  // the gust is over; the next flake update calms it
      wind.phase = kWindOver;
      KillTimer(w, kFallEndTimer);
      KillTimer(w, kFallStepTimer);
      SetTimer(w, kCalmTimer, s.GustPause, nullptr);
      break;
    case kRiseStepTimer:
      ++wind.strength;
      break;
    case kFallStepTimer:
      --wind.strength;
      if (wind.strength <= 0) {
        wind.strength = 0;
        wind.phase = kWindCalm;
      }
      break;
    default:
      break;
  }
}

void ResetWind() { wind = WindState{}; }
