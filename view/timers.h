#pragma once

// The window's two periodic timers: `t` drives the simulation, `h` the playback. Whether each is
// enabled and its interval belong to the program's state; when they fire is the program's firing
// schedule (program/timer_schedule.h).
struct Timer {
  bool Enabled = false;
  int IntervalMs = 1;
};

struct Timers {
  Timer t{.Enabled = true};   // simulation, running from start-up
  Timer h{.Enabled = false};  // playback
};
