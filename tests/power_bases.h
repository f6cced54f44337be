#pragma once

// The bases the power's tests share between the desktop's unit tests and the browser build run
// under Node: a million bases of the force law, 5 / (d + 0.1), built from integer arithmetic and
// exact scalings only, so every build makes the same ones. Even k draws d uniformly from
// [0, 30000) (the world's diagonal is about 28 300); odd k draws log2 d uniformly from [-30, 40).

#include <cstddef>
#include <cstdint>

#include "sim/force_power.h"
#include "tests/scene.h"
#include "world/world.h"

inline constexpr int PowerBaseCount = 1000000;

// FNV-1a over the bits of every power of the million bases, in order, as every build must give it.
inline constexpr uint64_t PowerBitsHash = 0x6f1523dddfd94e59;

inline uint64_t PowerBaseBits(int k) {
  // splitmix64: every k its own well-mixed 64 bits.
  uint64_t z = static_cast<uint64_t>(k) * 0x9E3779B97F4A7C15ULL + 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31U);
}

inline double PowerBase(int k) {
  const uint64_t bits = PowerBaseBits(k);
  // A fraction in [0, 1) from the top 53 bits.
  const double fraction = static_cast<double>(bits >> 11U) * 0x1p-53;
  double d = 0;
  if (k % 2 == 0) {
    d = fraction * 30000;
  } else {
    // An octave 2^whole built in the exponent field, and a point spread evenly within it: every
    // octave from 2^-30 to 2^40 is drawn as often.
    const auto whole = static_cast<int64_t>(bits % 70) - 30;
    d = BitCast<double>(static_cast<uint64_t>(whole + 1023) << 52U) * (1 + fraction);
  }
  return 5 / (d + 0.1);
}

inline uint64_t HashPowerBits(uint64_t hash, double power) {
  return FnvBytes(hash, &power, sizeof power);
}

// The hash of the million bases' powers as row(bases, powers) gives them, 81 at a time.
template <typename Row>
uint64_t HashOfPowerRows(Row row) {
  uint64_t hash = FnvStart;
  BodyDoubles bases{};
  BodyDoubles powers{};
  for (int k = 0; k < PowerBaseCount; k += BodyCount) {
    for (size_t i = 0; i < BodyCount; ++i) {
      bases[i] = PowerBase(k + static_cast<int>(i));
    }
    row(bases, powers);
    for (size_t i = 0; i < BodyCount && k + static_cast<int>(i) < PowerBaseCount; ++i) {
      hash = HashPowerBits(hash, powers[i]);
    }
  }
  return hash;
}
