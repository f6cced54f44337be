#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "history/record.h"
#include "sim/simulation_tick.h"
#include "tests/support.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/rounding.h"
#include "world/world.h"

namespace {

size_t Slot(int s) {
  return static_cast<size_t>(s);
}

constexpr int16_t RecordTick = 20;  // the countdown value at which a record is taken

bool SameHistory(const World& a, const World& b) {
  return a.HistX == b.HistX && a.HistY == b.HistY && a.HistBig == b.HistBig;
}

// Marks every history cell, so a test sees which ones a record overwrote.
void FillHistory(World& world, int16_t value) {
  for (size_t s = 0; s < HistorySlots; ++s) {
    world.HistX[s].fill(value);
    world.HistY[s].fill(value);
    world.HistBig[s].fill(value);
  }
}

// ---------------------------------------------------------------------------------------------
// Recording one body

TEST(RecordingABody, LightBodiesAreRecordedAtTheOriginAsSmall) {
  auto world = NewWorld();
  FillHistory(*world, 77);
  world->TickCounter = RecordTick;
  world->RecordIndex = 7;
  world->PosX[4] = 1234.5;
  world->PosY[4] = -20.5;
  world->Mass[4] = 0.5F;

  RecordBody(*world, 4);

  EXPECT_EQ(world->HistX[7][4], 0);
  EXPECT_EQ(world->HistY[7][4], 0);
  EXPECT_EQ(world->HistBig[7][4], False);
}

TEST(RecordingABody, PositionsAreRoundedToTheNearestWithTiesToEven) {
  auto world = NewWorld();
  world->TickCounter = RecordTick;
  world->RecordIndex = 7;
  world->PosX[4] = 1234.5;
  world->PosY[4] = -20.5;
  world->Mass[4] = 2;
  world->PosX[5] = 1235.5;
  world->PosY[5] = -9999.49;
  world->Mass[5] = 1;  // exactly 1 is no longer small

  RecordBody(*world, 4);
  RecordBody(*world, 5);

  EXPECT_EQ(world->HistX[7][4], 1234);
  EXPECT_EQ(world->HistY[7][4], -20);
  EXPECT_EQ(world->HistBig[7][4], False);
  EXPECT_EQ(world->HistX[7][5], 1236);
  EXPECT_EQ(world->HistY[7][5], -9999);
  EXPECT_EQ(world->HistBig[7][5], False);
}

TEST(RecordingABody, BodiesOfMassThreeOrMoreAreMarkedBig) {
  auto world = NewWorld();
  FillHistory(*world, 77);
  world->TickCounter = RecordTick;
  world->RecordIndex = 1;
  world->Mass[0] = 3;
  world->Mass[1] = 2.99F;
  world->Mass[2] = 5.1F;
  world->PosX[0] = 10;
  world->PosY[0] = 20;

  for (int i = 0; i < 3; ++i) {
    RecordBody(*world, i);
  }

  EXPECT_EQ(world->HistBig[1][0], True);
  EXPECT_EQ(world->HistBig[1][1], False);
  EXPECT_EQ(world->HistBig[1][2], True);
  EXPECT_EQ(world->HistX[1][0], 10);  // big bodies keep their position
  EXPECT_EQ(world->HistY[1][0], 20);
}

TEST(RecordingABody, OnlyTheRecordTickWritesAndOnlyIntoItsOwnCell) {
  auto world = NewWorld();
  world->Mass.fill(4);
  world->PosX.fill(500);
  world->PosY.fill(-600);
  world->RecordIndex = 9;
  const auto before = std::make_unique<World>(*world);

  for (const int counter : {0, 19, 21, 3000}) {
    world->TickCounter = static_cast<int16_t>(counter);
    RecordBody(*world, 12);
    EXPECT_TRUE(SameHistory(*world, *before)) << "countdown " << counter;
  }

  world->TickCounter = RecordTick;
  RecordBody(*world, 12);
  EXPECT_EQ(world->HistX[9][12], 500);
  EXPECT_EQ(world->HistY[9][12], -600);
  EXPECT_EQ(world->HistBig[9][12], True);
  world->HistX[9][12] = 0;
  world->HistY[9][12] = 0;
  world->HistBig[9][12] = 0;
  EXPECT_TRUE(SameHistory(*world, *before));
}

TEST(RecordingABody, PositionsBeyondSixteenBitsSaturate) {
  // Only possible in the first ticks after a seeding at high zoom, before the wrap folds them in.
  auto world = NewWorld();
  world->TickCounter = RecordTick;
  world->RecordIndex = 3;
  world->Mass.fill(2);
  world->PosX[0] = 45000;
  world->PosY[0] = -45000.7;
  world->PosX[1] = 32767.4;
  world->PosY[1] = -32768.4;

  RecordBody(*world, 0);
  RecordBody(*world, 1);

  EXPECT_EQ(world->HistX[3][0], 32767);
  EXPECT_EQ(world->HistY[3][0], -32768);
  EXPECT_EQ(world->HistX[3][1], 32767);
  EXPECT_EQ(world->HistY[3][1], -32768);
}

TEST(RecordingABody, ARecordWithNoSlotLeftIsDropped) {
  auto world = NewWorld();
  world->TickCounter = RecordTick;
  world->Mass.fill(2);
  world->PosX.fill(1);
  world->PosY.fill(2);
  const auto before = std::make_unique<World>(*world);

  for (const int index : {HistorySlots, HistorySlots + 1, -1, INT16_MIN, INT16_MAX}) {
    world->RecordIndex = static_cast<int16_t>(index);
    for (int i = 0; i < BodyCount; ++i) {
      RecordBody(*world, i);
    }
    EXPECT_TRUE(SameHistory(*world, *before)) << "record index " << index;
  }
}

// ---------------------------------------------------------------------------------------------
// The countdown, run through real ticks

// A universe whose bodies are recordable (mass 2) and change position every tick.
std::unique_ptr<World> DriftingWorld() {
  auto world = NewWorld();
  for (int i = 0; i < BodyCount; ++i) {
    world->PosX[Slot(i)] = 200.0 * i - 8000;
    world->PosY[Slot(i)] = 100.0 * i;
    world->VelX[Slot(i)] = 3;
    world->VelY[Slot(i)] = -2;
    world->Mass[Slot(i)] = 2;
  }
  return world;
}

TEST(RecorderCountdown, FromStartUpSlotKIsRecordedInTick21kMinus19) {
  auto world = DriftingWorld();
  Surface surface;
  ResizeSurface(surface, 100, 100);
  Timers timers;
  constexpr int Ticks = 3 * RecordPeriod;
  int16_t seenX[Ticks + 1][BodyCount] = {};  // each body's rounded x after every tick

  for (int n = 1; n <= Ticks; ++n) {
    SimulationTick(*world, surface, timers);
    for (int i = 0; i < BodyCount; ++i) {
      seenX[n][i] = RoundToInteger(world->PosX[Slot(i)]);
    }
  }

  for (int k = 1; k <= 3; ++k) {
    for (int i = 0; i < BodyCount; ++i) {
      EXPECT_EQ(world->HistX[Slot(k)][Slot(i)], seenX[21 * k - 19][i]) << "slot " << k;
    }
  }
  for (const int empty : {0, 4, 5}) {
    EXPECT_EQ(world->HistX[Slot(empty)], BodyIntegers{}) << "slot " << empty;
  }
  EXPECT_EQ(world->RecordIndex, 3);
  EXPECT_EQ(world->TickCounter, 0);  // 20 ticks after the record in tick 44
}

TEST(RecorderCountdown, EveryRecordOfAFullRunLandsInItsTick) {
  // The recorder alone, from start-up to the full history: body 0 records the tick number.
  auto world = NewWorld();
  world->Mass[0] = 1;
  Surface surface;
  ResizeSurface(surface, 10, 10);
  Timers timers;
  constexpr int TickOfLastRecord = 21 * LastSlot - 19;

  int tick = 0;
  while (timers.t.Enabled && tick < TickOfLastRecord + 100) {
    ++tick;
    world->PosX[0] = tick - 32000;  // fits a cell throughout
    RecordBody(*world, 0);
    AdvanceRecorder(*world, surface, timers);
  }

  EXPECT_EQ(tick, TickOfLastRecord + 20);
  EXPECT_EQ(world->HistX[0][0], 0);
  for (int k = 1; k <= LastSlot; ++k) {
    ASSERT_EQ(world->HistX[Slot(k)][0] + 32000, 21 * k - 19) << "slot " << k;
  }
}

TEST(RecorderCountdown, TheFullHistorySwitchesToPlaybackTwentyTicksAfterTheLastRecord) {
  auto world = DriftingWorld();
  world->RecordIndex = LastSlot - 1;  // slot 2999 taken, the countdown just run out
  world->TickCounter = 0;
  Surface surface;
  ResizeSurface(surface, 100, 100);
  Timers timers;

  SimulationTick(*world, surface, timers);  // opens slot 3000
  SimulationTick(*world, surface, timers);  // records it
  EXPECT_EQ(world->HistX[LastSlot][5], RoundToInteger(world->PosX[5]));
  EXPECT_EQ(world->HistBig[LastSlot][5], False);
  for (int n = 3; n <= 21; ++n) {
    SimulationTick(*world, surface, timers);
  }
  EXPECT_TRUE(timers.t.Enabled);
  EXPECT_EQ(world->TickCounter, 0);
  PaintAll(surface, White);

  SimulationTick(*world, surface, timers);  // tick 22: the countdown runs out with no slot left

  EXPECT_FALSE(timers.t.Enabled);
  EXPECT_TRUE(timers.h.Enabled);
  EXPECT_EQ(world->TickCounter, 0);  // playback starts from frame 1
  EXPECT_EQ(world->RecordIndex, HistorySlots);
  EXPECT_TRUE(std::all_of(surface.Pixels.begin(), surface.Pixels.end(),
                          [](Colour c) { return c == Black; }));
}

TEST(RecorderCountdown, ResumingFromAPlaybackFrameRecordsIntoTheCurrentSlot) {
  // A seeding during playback at frame 30 leaves the countdown at 30: ten ticks later it reaches
  // 20 and records into the current slot, overwriting it.
  auto world = DriftingWorld();
  FillHistory(*world, 77);
  world->RecordIndex = 5;
  world->TickCounter = 30;
  Surface surface;
  ResizeSurface(surface, 100, 100);
  Timers timers;

  for (int n = 0; n < 10; ++n) {
    SimulationTick(*world, surface, timers);
  }
  EXPECT_EQ(world->HistX[5][0], 77);
  SimulationTick(*world, surface, timers);

  EXPECT_EQ(world->HistX[5][0], RoundToInteger(world->PosX[0]));
  EXPECT_EQ(world->HistX[6][0], 77);
  EXPECT_EQ(world->RecordIndex, 5);
}

TEST(RecorderCountdown, ResumingAfterTheHistoryIsFullOnlyReturnsToPlayback) {
  // Seeding during playback keeps the countdown and the index: every resumed simulation ends at
  // its next countdown wrap with a switch back to playback, writes nothing, and the index stays
  // one past the last slot however often this happens.
  auto world = DriftingWorld();
  FillHistory(*world, 77);
  world->RecordIndex = HistorySlots;
  const auto before = std::make_unique<World>(*world);
  Surface surface;
  ResizeSurface(surface, 100, 100);
  Timers timers;

  for (int resume = 0; resume < 40; ++resume) {
    const auto frame = static_cast<int16_t>(resume % 41);
    world->TickCounter = frame;
    timers.t.Enabled = true;
    timers.h.Enabled = false;

    int ticks = 0;
    while (timers.t.Enabled && ticks < 100) {
      SimulationTick(*world, surface, timers);
      ++ticks;
    }

    EXPECT_EQ(ticks, frame + 1) << "frame " << frame;
    EXPECT_TRUE(timers.h.Enabled);
    EXPECT_EQ(world->TickCounter, 0);
    EXPECT_EQ(world->RecordIndex, HistorySlots);
  }
  EXPECT_TRUE(SameHistory(*world, *before));
}

}  // namespace
