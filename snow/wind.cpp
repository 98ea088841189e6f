#include "snow/wind.h"

#include <algorithm>

#include "settings/settings.h"
#include "snow/random.h"
#include "surface/surface.h"
#include "system/timer.h"

namespace {

WindState wind{};

// The schedule's timers that run: what a pause takes off and puts back as
// they were. The step timers repeat; the others run out once and are
// killed, so a pause keeps how long they had run.
struct Armed {
  bool on;
  DWORD period;
  DWORD armedAt;   // tick count
  DWORD ranSoFar;  // while paused
};
Armed armed[kFallStepTimer + 1]{};

bool Repeats(UINT_PTR id) { return id == kRiseStepTimer || id == kFallStepTimer; }

void Arm(UINT_PTR id, int period) {
  ArmTimer(Surface().window, id, period);
  armed[id] = Armed{true, static_cast<DWORD>(period), GetTickCount(), 0};
}
void Kill(UINT_PTR id) {
  KillTimer(Surface().window, id);
  armed[id].on = false;
}

}  // namespace

const WindState& Wind() { return wind; }

bool IsWindTimer(UINT_PTR id) { return id >= kCalmTimer && id <= kFallStepTimer; }

void StartWind() {
  for (Armed& a : armed) a.on = false;
  if (Settings().WindOn) Arm(kCalmTimer, Settings().GustPause);
}

void PauseWind() {
  const DWORD now = GetTickCount();
  for (UINT_PTR id = kCalmTimer; id <= kFallStepTimer; ++id) {
    Armed& a = armed[id];
    if (!a.on) continue;
    KillTimer(Surface().window, id);
    a.ranSoFar = Repeats(id) ? 0 : std::min(now - a.armedAt, a.period);
  }
}

void ResumeWind() {
  const DWORD now = GetTickCount();
  for (UINT_PTR id = kCalmTimer; id <= kFallStepTimer; ++id) {
    Armed& a = armed[id];
    if (!a.on) continue;
    ArmTimer(Surface().window, id, a.period - a.ranSoFar);
    a.armedAt = now - a.ranSoFar;
  }
}

void WindEvent(HWND, UINT_PTR timerId) {
  const SettingsRecord& s = Settings();
  switch (timerId) {
    case kCalmTimer:  // the calm is over: a gust starts rising
      wind.phase = kWindRising;
      wind.strength = 0;
      Kill(kCalmTimer);
      Arm(kRiseStepTimer, s.GustRiseStep);
      Arm(kRiseEndTimer, s.GustRiseTime);
      wind.direction = -1;
      if (RandomBelow(10) > 4) wind.direction = 1;
      break;
    case kRiseEndTimer:  // the rise is over: the gust falls
      wind.phase = kWindFalling;
      Kill(kRiseEndTimer);
      Kill(kRiseStepTimer);
      Arm(kFallEndTimer, s.GustFallTime);
      Arm(kFallStepTimer, s.GustFallStep);
      break;
    case kFallEndTimer:  // the gust is over; the next flake update calms it
      wind.phase = kWindOver;
      Kill(kFallEndTimer);
      Kill(kFallStepTimer);
      Arm(kCalmTimer, s.GustPause);
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

void CalmFinishedGust() {
  if (wind.phase != kWindOver) return;
  wind.strength = 0;
  wind.phase = kWindCalm;
}

void CapRisingGust() {
  if (wind.phase != kWindRising || wind.strength <= Settings().GustMax) return;
  wind.strength = Settings().GustMax;
  if (RandomBelow(10000) > 9950) {
    wind.direction = -wind.direction;
    wind.strength /= 3;
  }
}

void ApplyWindSwitch(int newValue, int oldValue) {
  if (!Surface().window) return;
  if (oldValue != 0 && newValue == 0) {
    for (UINT_PTR id = kCalmTimer; id <= kFallStepTimer; ++id) Kill(id);
  } else if (oldValue == 0 && newValue != 0) {
    Arm(kCalmTimer, Settings().GustPause);
  }
}

void RearmWindTimers() {
  if (!Surface().window) return;
  const SettingsRecord& s = Settings();
  const bool arm = s.WindOn != 0;
  switch (wind.phase) {
    case kWindCalm:
      Kill(kCalmTimer);
      if (arm) Arm(kCalmTimer, s.GustPause);
      break;
    case kWindRising:
      Kill(kRiseStepTimer);
      Kill(kRiseEndTimer);
      if (arm) {
        Arm(kRiseStepTimer, s.GustRiseStep);
        Arm(kRiseEndTimer, s.GustRiseTime);
      }
      break;
    case kWindFalling:
      Kill(kFallStepTimer);
      Kill(kFallEndTimer);
      if (arm) {
        Arm(kFallEndTimer, s.GustFallTime);
        Arm(kFallStepTimer, s.GustFallStep);
      }
      break;
    case kWindOver:
      Kill(kFallEndTimer);
      if (arm) Arm(kFallEndTimer, s.GustFallTime);
      break;
  }
}

// A test seam (tests/support/seams.h); the program never calls it.
void ResetWind() {
  wind = WindState{};
  for (Armed& a : armed) a = Armed{};
}
