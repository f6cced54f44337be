#include "platform/timer_firings.h"

#include "history/playback_tick.h"
#include "sim/simulation_tick.h"

void RunDueFirings(World& world, Surface& surface, Timers& timers, TimerFirings& firings,
                   int64_t nowNs, int64_t maxCatchUpNs, bool runHandlers) {
  for (int due = DueFirings(firings.ScheduleT, timers.t, nowNs, maxCatchUpNs);
       due > 0 && timers.t.Enabled; --due) {
    if (runHandlers) {
      SimulationTick(world, surface, timers);
    }
    ++firings.CountT;
  }
  for (int due = DueFirings(firings.ScheduleH, timers.h, nowNs, maxCatchUpNs);
       due > 0 && timers.h.Enabled; --due) {
    if (runHandlers) {
      PlaybackTick(world, surface);
    }
    ++firings.CountH;
  }
}
