#pragma once

#include <cstdint>

#include "view/timers.h"

// Time is counted on a monotonic clock in nanoseconds, everywhere in the program and its hosts.
inline constexpr int64_t NsPerMs = 1'000'000;
inline constexpr int64_t NsPerSecond = 1'000 * NsPerMs;

// When a timer fires, counted from a monotonic clock in nanoseconds. Firings that fall due while
// the program is briefly busy are caught up; after a longer stall they are dropped, so the program
// never runs a burst of old firings.
struct TimerSchedule {
  int64_t NextDueNs = 0;
  bool WasEnabled = false;
};

// A lag beyond this is a stall, not jitter. Long enough for the process to be pushed off the CPU
// for a moment or for a present of a very large window to take a few milliseconds without losing
// firings; short enough that catching up (50 ticks of well under a millisecond each) stays
// unnoticeable and input is never held up for long.
inline constexpr int64_t MaxCatchUpNs = 50 * NsPerMs;
// The limit for a host woken once per display frame, as a browser wakes the page: many frames at
// 60 Hz, so the odd slow frame of a busy machine is caught up and the rate stays exact, while a
// hidden tab's pause of seconds is still a stall.
inline constexpr int64_t FrameCatchUpNs = 250 * NsPerMs;

// How many firings of `timer` are due at `nowNs`, advancing the schedule past them. A timer that
// has just been enabled first fires one interval later; a disabled timer never fires. A lag of up
// to `maxCatchUpNs` is caught up; after a longer stall one firing is due and the cadence restarts
// from `nowNs`. A host that only gets to run once per display frame catches up a frame's worth of
// firings, so it passes a longer limit.
int DueFirings(TimerSchedule& schedule, const Timer& timer, int64_t nowNs,
               int64_t maxCatchUpNs = MaxCatchUpNs);
// When the next firing falls due, INT64_MAX while the timer is disabled, or INT64_MIN when it has
// been enabled since the last DueFirings (its cadence starts at the next DueFirings call).
int64_t NextFiringNs(const TimerSchedule& schedule, const Timer& timer);
