// The program as a window layer drives it: a clock, keys, releases, resizes and the changes to
// show.

#include "program/program.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "commands/handle_key.h"
#include "tests/scene.h"

namespace {

struct Driven : ::testing::Test {
  std::unique_ptr<Program> p = std::make_unique<Program>();
  int64_t clock = 0;

  void SetUp() override { LoadProgram(*p, 626, 549); }
  void Advance(int64_t ms) { RunClock(*p, clock, ms); }
};

TEST_F(Driven, TheClockRunsTheSimulationAndEnterHandsItToThePlayback) {
  EXPECT_EQ(p->world.Zoom, 1);  // the load ran StartUp
  EXPECT_EQ(p->surface.Width, 626);
  ReleaseMouseButton(*p, 1, 0, 313, 274);
  Advance(1000);
  // The first pass starts the cadence, the rest fire once a millisecond.
  EXPECT_EQ(p->Firings.CountT, 999);
  EXPECT_EQ(p->Firings.CountH, 0);
  EXPECT_TRUE(HasChanges(*p));
  ChangedRects rects;
  TakeChanges(*p, rects);
  EXPECT_GT(rects.Count, 0);
  EXPECT_FALSE(HasChanges(*p));

  PressKey(*p, KeyEnter, 0);
  EXPECT_EQ(NextFiringNs(*p), INT64_MIN);  // just enabled: run the firings at once
  Advance(500);
  EXPECT_EQ(p->Firings.CountT, 999);
  EXPECT_EQ(p->Firings.CountH, 499);
  EXPECT_EQ(p->world.TickCounter, 499);  // the frame shown
}

TEST_F(Driven, AfterEscapeNothingRunsIsDrawnOrResized) {
  ReleaseMouseButton(*p, 1, 0, 313, 274);
  Advance(10);
  PressKey(*p, KeyEscape, 0);
  ASSERT_TRUE(p->Ended);
  ChangedRects rects;
  TakeChanges(*p, rects);
  const int64_t ticks = p->Firings.CountT;
  EXPECT_EQ(NextFiringNs(*p), INT64_MAX);
  Advance(100);
  PressKey(*p, KeyEnter, 0);
  ReleaseMouseButton(*p, 2, 0, 10, 10);
  EXPECT_FALSE(ResizeProgram(*p, 800, 600));
  EXPECT_EQ(p->Firings.CountT, ticks);
  EXPECT_FALSE(HasChanges(*p));
  EXPECT_EQ(p->surface.Width, 626);
  EXPECT_TRUE(p->timers.t.Enabled);
}

TEST_F(Driven, TheMeasuringBuildCountsFiringsWithoutRunningTheHandlers) {
  p->RunTimerHandlers = false;
  ReleaseMouseButton(*p, 1, 0, 313, 274);
  const double before = p->world.PosX[0];
  Advance(100);
  EXPECT_EQ(p->Firings.CountT, 99);
  EXPECT_EQ(p->world.PosX[0], before);
}

}  // namespace
