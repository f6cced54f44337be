#include "program/timer_schedule.h"

#include <algorithm>

namespace {

// A zero or negative interval would fire without end; such a timer ticks at the fastest rate.
int64_t IntervalNs(const Timer& timer) {
  return std::max(timer.IntervalMs, 1) * NsPerMs;
}

}  // namespace

int DueFirings(TimerSchedule& schedule, const Timer& timer, int64_t nowNs, int64_t maxCatchUpNs) {
  if (!timer.Enabled) {
    schedule.WasEnabled = false;
    return 0;
  }
  const int64_t interval = IntervalNs(timer);

  // A timer that has just been switched on starts its cadence now.
  if (!schedule.WasEnabled) {
    schedule.WasEnabled = true;
    schedule.NextDueNs = nowNs + interval;
    return 0;
  }
  if (nowNs < schedule.NextDueNs) {
    return 0;
  }

  // After a stall, fire once and restart the cadence from now instead of replaying every lost
  // firing in a burst.
  const int64_t lag = nowNs - schedule.NextDueNs;
  if (lag > maxCatchUpNs) {
    schedule.NextDueNs = nowNs + interval;
    return 1;
  }

  // A small lag (a late wake-up, a present) is caught up, so the long-run rate stays exact.
  const int64_t due = lag / interval + 1;
  schedule.NextDueNs += due * interval;
  return static_cast<int>(due);
}

int64_t NextFiringNs(const TimerSchedule& schedule, const Timer& timer) {
  if (!timer.Enabled) {
    return INT64_MAX;
  }
  // Switched on but not yet seen by DueFirings: the caller should run DueFirings at once to start
  // the cadence.
  if (!schedule.WasEnabled) {
    return INT64_MIN;
  }
  return schedule.NextDueNs;
}
