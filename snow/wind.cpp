#include "snow/wind.h"

#include <algorithm>

#include "settings/settings.h"
#include "snow/random.h"
#include "surface/surface.h"

namespace {

WindState wind{};

// The timers of each phase, in the order they are armed, each with the
// setting that is its period (a null setting: no timer). A phase's timers
// are armed as it starts and killed as it ends, and armed anew with new
// periods. A gust that is over re-arms the timer that ended it.
struct PhaseTimer {
  UINT_PTR id;
  int32_t SettingsRecord::*period;
};
constexpr PhaseTimer kPhaseTimers[][2] = {
    /* kWindCalm */ {{kCalmTimer, &SettingsRecord::GustPause}, {}},
    /* kWindRising */ {{kRiseStepTimer, &SettingsRecord::GustRiseStep}, {kRiseEndTimer, &SettingsRecord::GustRiseTime}},
    /* kWindFalling */ {{kFallEndTimer, &SettingsRecord::GustFallTime}, {kFallStepTimer, &SettingsRecord::GustFallStep}},
    /* kWindOver */ {{kFallEndTimer, &SettingsRecord::GustFallTime}, {}},
};

// What the end of a phase's timer does: the phase whose timers stop, the
// phase the wind enters and the phase whose timers start. After a gust the
// next calm's pause starts.
struct PhaseChange {
  UINT_PTR timer;
  WindPhase stops;
  WindPhase enters;
  WindPhase starts;
};
constexpr PhaseChange kPhaseChanges[] = {
    {kCalmTimer, kWindCalm, kWindRising, kWindRising},
    {kRiseEndTimer, kWindRising, kWindFalling, kWindFalling},
    {kFallEndTimer, kWindFalling, kWindOver, kWindCalm},
};

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

void KillTimers(int phase) {
  for (const PhaseTimer& t : kPhaseTimers[phase]) {
    if (t.period) Kill(t.id);
  }
}

void ArmTimers(int phase) {
  for (const PhaseTimer& t : kPhaseTimers[phase]) {
    if (t.period) Arm(t.id, Settings().*t.period);
  }
}

}  // namespace

const WindState& Wind() { return wind; }

bool IsWindTimer(UINT_PTR id) { return id >= kCalmTimer && id <= kFallStepTimer; }

void StartWind() {
  for (Armed& a : armed) a.on = false;
  if (Settings().WindOn) ArmTimers(kWindCalm);
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

void WindEvent(UINT_PTR timerId) {
  for (const PhaseChange& change : kPhaseChanges) {
    if (change.timer != timerId) continue;
    wind.phase = change.enters;
    KillTimers(change.stops);
    ArmTimers(change.starts);
    if (change.enters == kWindRising) {  // a new gust, from nothing, either way
      wind.strength = 0;
      wind.direction = RandomBelow(10) > 4 ? 1 : -1;
    }
    return;
  }
  if (timerId == kRiseStepTimer) {
    ++wind.strength;
  } else if (timerId == kFallStepTimer && --wind.strength <= 0) {
    wind.strength = 0;
    wind.phase = kWindCalm;
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
  if (!SceneRunning()) return;
  if (oldValue != 0 && newValue == 0) {
    for (UINT_PTR id = kCalmTimer; id <= kFallStepTimer; ++id) Kill(id);
  } else if (oldValue == 0 && newValue != 0) {
    ArmTimers(kWindCalm);
  }
}

void RearmWindTimers() {
  if (!SceneRunning()) return;
  KillTimers(wind.phase);
  if (Settings().WindOn) ArmTimers(wind.phase);
}

// A test seam (tests/support/seams.h); the program never calls it.
void ResetWind() {
  wind = WindState{};
  for (Armed& a : armed) a = Armed{};
}
