#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The random source of the seeding: a small generator reseeded from the clock at every seeding.
// Tests give it a script, whose values Rnd returns in order before falling back to the generator.
struct RandomSource {
  uint64_t State = 0;
  std::span<const float> Script;
  size_t Draws = 0;  // how many numbers Rnd has returned, scripted or not
};

// Reseeds the generator from the clock. Allocates nothing.
void Randomize(RandomSource& random);
// The next uniform single in [0, 1): 24 random bits, so it can never round up to 1.
float Rnd(RandomSource& random);
