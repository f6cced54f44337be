#include "seed/random.h"

#include <chrono>

namespace {

// The splitmix64 finaliser: spreads every input bit over the whole word, so clock readings that
// differ only in their low bits still give unrelated states.
uint64_t Mix(uint64_t value) {
  value = (value ^ (value >> 30U)) * 0xBF58476D1CE4E5B9ULL;
  value = (value ^ (value >> 27U)) * 0x94D049BB133111EBULL;
  return value ^ (value >> 31U);
}

uint64_t Ticks(auto timePoint) {
  return static_cast<uint64_t>(timePoint.time_since_epoch().count());
}

}  // namespace

void Randomize(RandomSource& random) {
  // Two clocks mixed: the wall clock differs between runs, the steady clock between two releases
  // inside one wall-clock tick. The old state goes in too, so two reseeds never give one sequence.
  const uint64_t wall = Ticks(std::chrono::system_clock::now());
  const uint64_t steady = Ticks(std::chrono::steady_clock::now());
  random.State = Mix(random.State ^ Mix(wall) ^ Mix(steady + 0x9E3779B97F4A7C15ULL));
}

float Rnd(RandomSource& random) {
  ++random.Draws;
  if (!random.Script.empty()) {
    const float scripted = random.Script.front();
    random.Script = random.Script.subspan(1);
    return scripted;
  }
  // splitmix64: a Weyl sequence through the finaliser, one 64-bit word of state.
  random.State += 0x9E3779B97F4A7C15ULL;
  const uint64_t bits = Mix(random.State) >> 40U;  // the top 24 bits
  // 24 bits fit a single exactly, so the largest value is 1 - 2^-24 and never rounds up to 1.
  constexpr float Unit = 1.0F / 16777216.0F;
  return static_cast<float>(bits) * Unit;
}
