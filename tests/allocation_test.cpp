// The program allocates nothing while it runs: every handler works on the fixed arrays of the one
// World and the surface's buffer, which only a resize reallocates.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "commands/handle_key.h"
#include "program/program.h"
#include "tests/scene.h"

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

// The program as a window layer drives it, on a clock the test moves a millisecond at a time.
struct Session {
  std::unique_ptr<Program> p = std::make_unique<Program>();
  int64_t clock = 0;

  Session() { LoadProgram(*p, 626, 549); }

  void Fire(int firings) { RunClock(*p, clock, firings); }
  void Press(int16_t key) { PressKey(*p, key, 0); }
  void Release(int button, float x, float y) { ReleaseMouseButton(*p, button, 0, x, y); }
};

long AllocationsDuring(Session& program, void (*session)(Session&)) {
  const long before = allocations.load();
  session(program);
  return allocations.load() - before;
}

TEST(RunningProgram, AllocatesNothingWhileSimulatingSeedingAndTakingKeys) {
  Session program;
  const long counted = AllocationsDuring(program, [](Session& s) {
    s.Fire(500);
    for (int k = 0; k < 20; ++k) {
      s.Release(1 + k % 3, 313.0F + 7.0F * static_cast<float>(k), 274.5F);
      s.Fire(100);
      for (int16_t key : {KeySpace, KeyPageDown, KeyLeft, KeyUp, KeyT, KeyPadMinus, KeyPadPlus,
                          KeyRight, KeyDown, KeyPageUp, int16_t{65}}) {
        s.Press(key);
      }
    }
  });
  EXPECT_EQ(counted, 0);
  EXPECT_EQ(program.p->Firings.CountT, 2499);  // the first pass starts the cadence
  // Taking the changes for a present allocates nothing either.
  EXPECT_EQ(AllocationsDuring(program,
                              [](Session& s) {
                                ChangedRects rects;
                                TakeChanges(*s.p, rects);
                              }),
            0);
}

TEST(RunningProgram, AllocatesNothingInPlaybackOrAcrossTheFullHistorySwitch) {
  Session program;
  program.Release(1, 300, 300);
  // Start the recorder just before the history is full, as after an hour-long session.
  program.p->world.RecordIndex = LastSlot;
  const long counted = AllocationsDuring(program, [](Session& s) {
    s.Fire(100);   // fills the last slot and switches to playback
    s.Fire(4000);  // plays every frame and wraps
    s.Press(KeyEnter);
    s.Fire(100);
    s.Press(KeyEnter);
    s.Fire(100);
    s.Release(2, 10, 10);
    s.Fire(100);
  });
  EXPECT_GT(program.p->Firings.CountH, 3000);
  EXPECT_EQ(counted, 0);
}

// A window resized beyond what memory allows keeps the surface it had, whichever of the resize's
// allocations fails, so the program runs on with its picture intact.
// Out of memory for a resize, whether for the changed region (from the allocator counted here) or
// for the pixels (zeroed memory straight from the system, refused here by a cap on the address
// space): the surface stays exactly as it was and the program runs on.
TEST(RunningProgram, AResizeThatRunsOutOfMemoryKeepsTheSurfaceAsItWas) {
  Session session;
  Program& program = *session.p;
  PSet(program.surface, 600, 500, White);
  ChangedRects taken;
  const auto keptItsSurface = [&] {
    EXPECT_EQ(program.surface.Width, 626);
    EXPECT_EQ(program.surface.Height, 549);
    EXPECT_EQ(PixelAt(program.surface, 600, 500), White);
    // The changed region still describes the old surface, and nothing new is marked in it.
    EXPECT_EQ(program.surface.Changed.Width, 626);
    EXPECT_EQ(program.surface.Changed.Height, 549);
    EXPECT_FALSE(HasChanges(program));
    session.Fire(10);
  };

  TakeChanges(program, taken);
  failingAllocation = allocations.load();
  EXPECT_FALSE(ResizeProgram(program, 2000, 1500));
  failingAllocation = -1;
  keptItsSurface();

  // A gigabyte of pixels where the address space has room for a quarter of that.
  long pages = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  ASSERT_NE(statm, nullptr);
  ASSERT_EQ(std::fscanf(statm, "%ld", &pages), 1);
  std::fclose(statm);
  rlimit unlimited{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &unlimited), 0);
  rlimit capped = unlimited;
  capped.rlim_cur =
      static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (256U << 20U);
  ASSERT_EQ(setrlimit(RLIMIT_AS, &capped), 0);
  TakeChanges(program, taken);
  const bool resized = ResizeProgram(program, MaxSurfaceSide, MaxSurfaceSide);
  setrlimit(RLIMIT_AS, &unlimited);
  EXPECT_FALSE(resized);
  keptItsSurface();

  EXPECT_TRUE(ResizeProgram(program, 2000, 1500));
  EXPECT_EQ(PixelAt(program.surface, 600, 500), White);
}

}  // namespace
