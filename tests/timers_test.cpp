#include "program/timer_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr int64_t Ms = 1'000'000;
constexpr int64_t Start = 7 * 1'000'000'000LL;  // the clock's origin is arbitrary

Timer Running() {
  return Timer{.Enabled = true};
}

// Starts the cadence of an enabled timer at `nowNs`, the way the window does on its first pass.
TimerSchedule StartedAt(const Timer& timer, int64_t nowNs) {
  TimerSchedule schedule;
  EXPECT_EQ(DueFirings(schedule, timer, nowNs), 0);
  return schedule;
}

// Steps a fake clock from `from` to `to` in the given increments and counts the firings.
int FiringsOver(TimerSchedule& schedule, const Timer& timer, int64_t from, int64_t to,
                int64_t step) {
  int firings = 0;
  for (int64_t now = from + step; now <= to; now += step) {
    firings += DueFirings(schedule, timer, now);
  }
  return firings;
}

}  // namespace

TEST(TimerCadence, FiresAThousandTimesASecondWhenPolledOftenOrUnevenly) {
  const Timer timer = Running();
  TimerSchedule schedule = StartedAt(timer, Start);

  // Wake-ups that are early, late and irregular, as a real sleep delivers them; the lag never
  // exceeds the catch-up window.
  const int64_t steps[] = {137'000, 1'000'000, 2'400'000, 999'999, 3'100'000, 50'000, 1'250'000};
  int firings = 0;
  int64_t now = Start;
  for (int i = 0; now + steps[i % 7] <= Start + 1000 * Ms; ++i) {
    now += steps[i % 7];
    firings += DueFirings(schedule, timer, now);
  }
  firings += DueFirings(schedule, timer, Start + 1000 * Ms);
  EXPECT_EQ(firings, 1000);
}

TEST(TimerCadence, FiresExactlyOnTheIntervalBoundary) {
  const Timer timer = Running();
  TimerSchedule schedule = StartedAt(timer, Start);
  EXPECT_EQ(DueFirings(schedule, timer, Start + Ms - 1), 0);
  EXPECT_EQ(DueFirings(schedule, timer, Start + Ms), 1);
  EXPECT_EQ(DueFirings(schedule, timer, Start + Ms), 0);  // never twice for the same moment
  EXPECT_EQ(NextFiringNs(schedule, timer), Start + 2 * Ms);
}

TEST(TimerCadence, SmallLagIsCaughtUpSoNoFiringIsLost) {
  const Timer timer = Running();
  TimerSchedule schedule = StartedAt(timer, Start);
  // Woken 3.5 ms late: the firings at 1, 2 and 3 ms are all due, and the cadence stays on the
  // whole-millisecond grid.
  EXPECT_EQ(DueFirings(schedule, timer, Start + 3 * Ms + Ms / 2), 3);
  EXPECT_EQ(NextFiringNs(schedule, timer), Start + 4 * Ms);
  EXPECT_EQ(FiringsOver(schedule, timer, Start + 3 * Ms + Ms / 2, Start + 100 * Ms, Ms / 4), 97);
}

TEST(TimerStall, LongStallGivesAtMostOneFiringThenTheCadenceResumes) {
  const Timer timer = Running();
  TimerSchedule schedule = StartedAt(timer, Start);
  EXPECT_EQ(FiringsOver(schedule, timer, Start, Start + 10 * Ms, Ms), 10);

  // The program was held up for 100 ms (a dragged window, a suspended process).
  const int64_t resumed = Start + 110 * Ms;
  EXPECT_LE(DueFirings(schedule, timer, resumed), 1);
  EXPECT_EQ(DueFirings(schedule, timer, resumed + Ms / 2), 0);
  EXPECT_EQ(NextFiringNs(schedule, timer), resumed + Ms);
  EXPECT_EQ(FiringsOver(schedule, timer, resumed, resumed + 20 * Ms, Ms / 4), 20);
}

TEST(TimerStall, LagJustOverTheCatchUpWindowIsAStall) {
  const Timer timer = Running();
  TimerSchedule schedule = StartedAt(timer, Start);
  // Due at +1 ms; at the very edge of the window every missed firing is still caught up...
  EXPECT_EQ(DueFirings(schedule, timer, Start + Ms + MaxCatchUpNs), 1 + MaxCatchUpNs / Ms);
  // ...one nanosecond further it is dropped.
  TimerSchedule late = StartedAt(timer, Start);
  EXPECT_EQ(DueFirings(late, timer, Start + Ms + MaxCatchUpNs + 1), 1);
}

TEST(TimerStall, FramePacedLayerKeepsTheRateAndStillDropsAStall) {
  // A browser runs the timers once per display frame, 60 times a second, with a longer limit.
  const Timer timer = Running();
  TimerSchedule schedule = StartedAt(timer, Start);
  int firings = 0;
  for (int frame = 1; frame <= 60; ++frame) {
    firings += DueFirings(schedule, timer, Start + frame * 1'000 * Ms / 60, FrameCatchUpNs);
  }
  EXPECT_EQ(firings, 1000);
  // A hidden tab runs no frames for two seconds: one firing, not two thousand.
  EXPECT_EQ(DueFirings(schedule, timer, Start + 3'000 * Ms, FrameCatchUpNs), 1);
}

TEST(TimerEnabling, DisabledTimerNeverFires) {
  const Timer timer{.Enabled = false};
  TimerSchedule schedule;
  EXPECT_EQ(FiringsOver(schedule, timer, Start, Start + 200 * Ms, Ms / 3), 0);
  EXPECT_EQ(NextFiringNs(schedule, timer), INT64_MAX);
}

TEST(TimerEnabling, OnlyTheEnabledTimerOfThePairFires) {
  const Timers timers;  // as the window starts: simulation on, playback off
  TimerSchedule t;
  TimerSchedule h;
  int firingsT = 0;
  int firingsH = 0;
  for (int64_t now = Start; now <= Start + 50 * Ms; now += Ms / 2) {
    firingsT += DueFirings(t, timers.t, now);
    firingsH += DueFirings(h, timers.h, now);
  }
  EXPECT_EQ(firingsT, 50);
  EXPECT_EQ(firingsH, 0);
}

TEST(TimerEnabling, NewlyEnabledTimerWaitsOneIntervalBeforeItsFirstFiring) {
  Timer timer{.Enabled = false};
  TimerSchedule schedule;
  EXPECT_EQ(DueFirings(schedule, timer, Start), 0);

  // Switched on by a handler: the loop must wake at once to start its cadence...
  timer.Enabled = true;
  EXPECT_EQ(NextFiringNs(schedule, timer), INT64_MIN);
  // ...which then begins one interval after it was first seen, however late that is.
  EXPECT_EQ(DueFirings(schedule, timer, Start + 500 * Ms), 0);
  EXPECT_EQ(DueFirings(schedule, timer, Start + 501 * Ms - 1), 0);
  EXPECT_EQ(DueFirings(schedule, timer, Start + 501 * Ms), 1);
}

TEST(TimerEnabling, TimerSwitchedOffAndOnAgainRestartsItsCadence) {
  Timer timer = Running();
  TimerSchedule schedule = StartedAt(timer, Start);
  EXPECT_EQ(FiringsOver(schedule, timer, Start, Start + 5 * Ms, Ms), 5);

  timer.Enabled = false;
  EXPECT_EQ(DueFirings(schedule, timer, Start + 6 * Ms), 0);
  EXPECT_EQ(NextFiringNs(schedule, timer), INT64_MAX);

  // Back on after a pause: no firings owed for the time it was off.
  timer.Enabled = true;
  EXPECT_EQ(DueFirings(schedule, timer, Start + 300 * Ms), 0);
  EXPECT_EQ(DueFirings(schedule, timer, Start + 301 * Ms), 1);
}
