// The program allocates nothing while it runs: every handler works on the fixed arrays of the one
// World and the surface's buffer, which only a resize reallocates.

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

#include "commands/handle_key.h"
#include "history/playback_tick.h"
#include "seed/random.h"
#include "seed/seed_universe.h"
#include "sim/simulation_tick.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

namespace {
std::atomic<long> allocations{0};
std::atomic<long> failingAllocation{
    -1};  // the count at which an allocation fails, as out of memory
}  // namespace

void* operator new(std::size_t size) {
  if (allocations.fetch_add(1, std::memory_order_relaxed) == failingAllocation.load()) {
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t /*size*/) noexcept {
  std::free(p);
}

namespace {

struct Program {
  std::unique_ptr<World> world = std::make_unique<World>();
  Surface surface;
  Timers timers;
  RandomSource random;

  Program() {
    ResizeSurface(surface, 626, 549);
    StartUp(*world);
  }

  void Fire(int firings) {
    for (int k = 0; k < firings; ++k) {
      if (timers.t.Enabled) SimulationTick(*world, surface, timers);
      if (timers.h.Enabled) PlaybackTick(*world, surface);
    }
  }
};

long AllocationsDuring(Program& program, void (*session)(Program&)) {
  const long before = allocations.load();
  session(program);
  return allocations.load() - before;
}

TEST(RunningProgram, AllocatesNothingWhileSimulatingSeedingAndTakingKeys) {
  Program program;
  const long counted = AllocationsDuring(program, [](Program& p) {
    p.Fire(500);
    for (int k = 0; k < 20; ++k) {
      SeedUniverse(*p.world, p.surface, p.timers, p.random, 1 + k % 3, 0,
                   313.0F + 7.0F * static_cast<float>(k), 274.5F);
      p.Fire(100);
      for (int16_t key : {KeySpace, KeyPageDown, KeyLeft, KeyUp, KeyT, KeyPadMinus, KeyPadPlus,
                          KeyRight, KeyDown, KeyPageUp, int16_t{65}}) {
        HandleKey(*p.world, p.surface, p.timers, key, 0);
      }
    }
  });
  EXPECT_EQ(counted, 0);
}

TEST(RunningProgram, AllocatesNothingInPlaybackOrAcrossTheFullHistorySwitch) {
  Program program;
  SeedUniverse(*program.world, program.surface, program.timers, program.random, 1, 0, 300, 300);
  // Start the recorder just before the history is full, as after an hour-long session.
  program.world->RecordIndex = LastSlot;
  const long counted = AllocationsDuring(program, [](Program& p) {
    p.Fire(100);   // fills the last slot and switches to playback
    p.Fire(4000);  // plays every frame and wraps
    HandleKey(*p.world, p.surface, p.timers, KeyEnter, 0);
    p.Fire(100);
    HandleKey(*p.world, p.surface, p.timers, KeyEnter, 0);
    p.Fire(100);
    SeedUniverse(*p.world, p.surface, p.timers, p.random, 2, 0, 10, 10);
    p.Fire(100);
  });
  EXPECT_TRUE(program.timers.h.Enabled || program.timers.t.Enabled);
  EXPECT_EQ(counted, 0);
}

// A window resized beyond what memory allows keeps the surface it had, whichever of the resize's
// allocations fails, so the program runs on with its picture intact.
TEST(RunningProgram, AResizeThatRunsOutOfMemoryKeepsTheSurfaceAsItWas) {
  Program program;
  PSet(program.surface, 600, 500, White);
  ChangedRects taken;
  for (long failing = 0; failing < 2; ++failing) {
    TakeChangedRects(program.surface.Changed, taken);
    failingAllocation = allocations.load() + failing;
    EXPECT_FALSE(ResizeSurface(program.surface, 2000, 1500)) << "allocation " << failing;
    failingAllocation = -1;
    EXPECT_EQ(program.surface.Width, 626);
    EXPECT_EQ(program.surface.Height, 549);
    EXPECT_EQ(PixelAt(program.surface, 600, 500), White);
    // The changed region still describes the old surface, and nothing new is marked in it.
    EXPECT_EQ(program.surface.Changed.Width, 626);
    EXPECT_EQ(program.surface.Changed.Height, 549);
    EXPECT_FALSE(program.surface.Changed.Any);
    program.Fire(10);
  }
  EXPECT_TRUE(ResizeSurface(program.surface, 2000, 1500));
  EXPECT_EQ(PixelAt(program.surface, 600, 500), White);
}

}  // namespace
