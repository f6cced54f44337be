#pragma once

// Every argument a seeding hands to SineCosine, for the sweep against MPFR
// (bench/sine_cosine_sweep.cpp) and the unit tests: Rnd draws one of the 2^24 singles k / 2^24, the
// angle is that times a full turn and, for a swirl, that plus a quarter turn, both in single
// precision, and Radians makes each the double the seeding takes the sine and cosine of.

#include <cstdint>

#include "seed/seed_universe.h"
#include "seed/sine_cosine.h"
#include "tests/scene.h"

inline constexpr int SeedingDraws = 1 << 24;

// FNV-1a over the bits of the sine and then the cosine of every argument, draw by draw, the plain
// angle before the quarter-turned one, as the sweep found every one of them correctly rounded.
inline constexpr uint64_t SeedingSineCosineHash = 0x04350abee3f068f5;

// The argument the seeding forms from draw k, a quarter turned or not.
inline double SeedingArgument(int k, bool quarterTurned) {
  const float angle = static_cast<float>(k) / static_cast<float>(SeedingDraws) * FullTurn;
  return Radians(quarterTurned ? angle + QuarterTurn : angle);
}

// The hash of SineCosine's results for every argument.
inline uint64_t SeedingSineCosineBitsHash() {
  uint64_t hash = FnvStart;
  for (int k = 0; k < SeedingDraws; ++k) {
    for (const bool quarterTurned : {false, true}) {
      const SineAndCosine result = SineCosine(SeedingArgument(k, quarterTurned));
      hash = FnvBytes(hash, &result.Sine, sizeof result.Sine);
      hash = FnvBytes(hash, &result.Cosine, sizeof result.Cosine);
    }
  }
  return hash;
}
