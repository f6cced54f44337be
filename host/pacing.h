#pragma once

#include <algorithm>
#include <cstdint>

#include "program/timer_schedule.h"

// How the host paces its presents, waits and input. Drawing happens at every 1 ms firing, but
// nobody sees more than the screen shows, so a window is presented at most once per refresh of
// its display.

inline constexpr int64_t MaxWaitNs =
    250 * NsPerMs;  // a wait with nothing due still wakes now and then
// Input is looked at every 4 ms while the loop is kept awake (a present shown in parts): far sooner
// than anyone can notice, and each look costs system calls (on the display connection, or to Wine's
// server).
inline constexpr int64_t InputIntervalNs = 4 * NsPerMs;

// A present is shown in parts of at most this many device pixels, so a large one (a whole huge
// window after a resize or a click) never holds the timers up for long: they run between parts.
inline constexpr int64_t DefaultPartPixels = int64_t{128} * 1024;

// The time between two refreshes of a display of `hz` (0 or less when the display does not say:
// 60 Hz). Presenting more often than 240 times a second only takes time from the timers.
inline int64_t RefreshIntervalNs(int hz) {
  constexpr int DefaultRefreshHz = 60;
  constexpr int MaxRefreshHz = 240;
  return NsPerSecond / std::min(hz > 0 ? hz : DefaultRefreshHz, MaxRefreshHz);
}

// When the present after one that started at `startNs` and took `tookNs` may come. A present that
// takes long (a renderer with no graphics card behind it, a huge window, Wine) is spaced five times
// its own duration from the next, so presenting never takes more than a share of the time from the
// timers; but a slow one holds the next back by no more than a second.
inline int64_t NextPresentNs(int64_t startNs, int64_t tookNs, int64_t refreshNs) {
  constexpr int64_t SlowPresentSpacing = 5;
  return startNs + std::clamp(SlowPresentSpacing * tookNs, refreshNs, NsPerSecond);
}
