#include "program/program.h"

#include <algorithm>

#include "commands/handle_key.h"
#include "history/playback_tick.h"
#include "seed/seed_universe.h"
#include "sim/simulation_tick.h"

void LoadProgram(Program& program, int width, int height) {
  program.surface.Background = Black;
  ResizeSurface(program.surface, width, height);
  StartUp(program.world);
}

void PressKey(Program& program, int16_t keyCode, int shift) {
  if (program.Ended) {
    return;
  }
  if (HandleKey(program.world, program.surface, program.timers, keyCode, shift) ==
      KeyOutcome::EndProgram) {
    program.Ended = true;
  }
}

void ReleaseMouseButton(Program& program, int button, int shift, float x, float y) {
  if (program.Ended) {
    return;
  }
  SeedUniverse(program.world, program.surface, program.timers, program.random, button, shift, x, y);
}

bool ResizeProgram(Program& program, int width, int height) {
  return !program.Ended && ResizeSurface(program.surface, width, height);
}

void RunDueFirings(Program& program, int64_t nowNs, int64_t maxCatchUpNs) {
  if (program.Ended) {
    return;
  }
  Timers& timers = program.timers;
  TimerFirings& firings = program.Firings;
  for (int due = DueFirings(firings.ScheduleT, timers.t, nowNs, maxCatchUpNs);
       due > 0 && timers.t.Enabled; --due) {
    if (program.RunTimerHandlers) {
      SimulationTick(program.world, program.surface, timers);
    }
    ++firings.CountT;
  }
  for (int due = DueFirings(firings.ScheduleH, timers.h, nowNs, maxCatchUpNs);
       due > 0 && timers.h.Enabled; --due) {
    if (program.RunTimerHandlers) {
      PlaybackTick(program.world, program.surface);
    }
    ++firings.CountH;
  }
}

int64_t NextFiringNs(const Program& program) {
  if (program.Ended) {
    return INT64_MAX;
  }
  return std::min(NextFiringNs(program.Firings.ScheduleT, program.timers.t),
                  NextFiringNs(program.Firings.ScheduleH, program.timers.h));
}

bool HasChanges(const Program& program) {
  return program.surface.Changed.Any;
}

void TakeChanges(Program& program, ChangedRects& rects) {
  TakeChangedRects(program.surface.Changed, rects);
}

void MarkAllToShow(Program& program) {
  MarkAllChanged(program.surface.Changed);
}
