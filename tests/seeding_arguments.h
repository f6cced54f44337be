#pragma once

// Every argument a seeding hands to SineCosine, for the sweep against MPFR
// (bench/sine_cosine_sweep.cpp) and the unit tests. Rnd draws one of the 2^24 singles k / 2^24; the
// angle is that times a full turn and, for a swirl, that plus a quarter turn, both in single
// precision, and Radians makes each the double the seeding takes the sine and cosine of.

#include <bit>
#include <cstdint>

#include "seed/seed_universe.h"
#include "seed/sine_cosine.h"

inline constexpr int SeedingDraws = 1 << 24;

// FNV-1a over the bits of SineCosine's results for every argument in the order
// ForEachSeedingArgument gives them, sine before cosine, as the sweep found every one of them
// correctly rounded.
inline constexpr uint64_t SeedingSineCosineHash = 0x04350abee3f068f5;

// The argument the seeding forms from draw k, a quarter turned or not.
inline double SeedingArgument(int k, bool quarterTurned) {
  const float angle = static_cast<float>(k) / static_cast<float>(SeedingDraws) * FullTurn;
  return Radians(quarterTurned ? angle + QuarterTurn : angle);
}

// visit(argument) for every draw, the plain angle before the quarter-turned one.
template <typename Visit>
void ForEachSeedingArgument(Visit visit) {
  for (int k = 0; k < SeedingDraws; ++k) {
    visit(SeedingArgument(k, false));
    visit(SeedingArgument(k, true));
  }
}

inline uint64_t HashBits(uint64_t hash, double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  for (unsigned byte = 0; byte < 8; ++byte) {
    hash = (hash ^ ((bits >> (8 * byte)) & 0xFFU)) * 1099511628211ULL;
  }
  return hash;
}

inline constexpr uint64_t EmptyHash = 14695981039346656037ULL;

inline uint64_t HashSineCosine(uint64_t hash, SineAndCosine result) {
  return HashBits(HashBits(hash, result.Sine), result.Cosine);
}
