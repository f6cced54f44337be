#pragma once

#include <cstdint>

#include "program/timer_schedule.h"
#include "seed/random.h"
#include "view/changed_region.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

// The window's design-time settings, shared by every window layer: its caption and its client
// area when it opens, in surface units.
inline constexpr char Caption[] = "Form1";
inline constexpr int StartWidth = 626;
inline constexpr int StartHeight = 549;

// The two timers' schedules and how often each has fired, kept between a window layer's passes.
struct TimerFirings {
  TimerSchedule ScheduleT;
  TimerSchedule ScheduleH;
  int64_t CountT = 0;  // firings of `t` so far; a measuring layer may reset the counts
  int64_t CountH = 0;
};

// The whole program as every window layer runs it: the world record, the window's surface, the
// timers `t` and `h` with their firing schedule, and the random source. The host (host/host.h)
// makes the calls below, from the window layers' events and its own clock; neither calls a handler
// itself. At 1.5 MB a Program lives on the heap or in static storage.
struct Program {
  World world;
  Surface surface;
  Timers timers;
  RandomSource random;
  TimerFirings Firings;
  // The measuring builds can leave the timer handlers out, to time the window layer on its own;
  // the firings are still counted.
  bool RunTimerHandlers = true;
  bool Ended = false;  // Escape was pressed: nothing more runs, is drawn or changes
};

// The window's load event: sizes the surface to the client area (in surface units) and runs
// StartUp. The first call a program gets, before any other and before the first firing.
void LoadProgram(Program& program, int width, int height);

// A key press, by virtual key code. Escape ends the program; every other key runs its command and
// redraws the overlay.
void PressKey(Program& program, int16_t keyCode, int shift);

// A mouse-button release at (x, y) in surface units: a new universe. `button` is the code of
// MouseButtonCode (platform/key_table.h).
void ReleaseMouseButton(Program& program, int button, int shift, float x, float y);

// The client area is now width x height surface units. Returns false when the surface could not
// follow (out of memory, or the program has ended) and keeps its old size.
bool ResizeProgram(Program& program, int width, int height);

// Runs the handlers of every firing due by `nowNs` (a monotonic clock in nanoseconds), the
// simulation's before the playback's. A lag of up to `maxCatchUpNs` is caught up; a longer one is
// a stall, after which the cadence restarts. A handler may switch either timer on or off, so each
// firing checks its timer again.
void RunDueFirings(Program& program, int64_t nowNs, int64_t maxCatchUpNs = MaxCatchUpNs);

// When the next firing falls due: INT64_MAX when neither timer runs, INT64_MIN when a timer was
// just enabled and RunDueFirings should run at once to start its cadence.
int64_t NextFiringNs(const Program& program);

// Whether anything was drawn since the changes were last taken.
bool HasChanges(const Program& program);
// Hands out the rectangles drawn on since the last call, and forgets them.
void TakeChanges(Program& program, ChangedRects& rects);
// The whole surface is to be shown again: the window lost its picture.
void MarkAllToShow(Program& program);
