#pragma once

#include <cstdint>

#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

// The two timers' schedules and how often each has fired, as a window layer keeps them between
// its passes. Both window layers run their timers through this, so they keep the same cadence.
struct TimerFirings {
  TimerSchedule ScheduleT;
  TimerSchedule ScheduleH;
  int64_t CountT = 0;  // firings of `t` counted so far; the layer may reset the counts
  int64_t CountH = 0;
};

// Runs the handlers of every firing due by `nowNs`, the simulation's before the playback's, with
// the stall rule of DueFirings. A handler may switch either timer on or off, so the flag is checked
// again before every call. With `runHandlers` false the firings are only counted, to time the
// window layer on its own.
void RunDueFirings(World& world, Surface& surface, Timers& timers, TimerFirings& firings,
                   int64_t nowNs, int64_t maxCatchUpNs, bool runHandlers);
