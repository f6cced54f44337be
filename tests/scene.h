#pragma once

// The scene the unit tests, the determinism check on every platform, the benchmark, the allocation
// test and the fuzzer share: one small random generator, one fixed universe, one hash of the
// bodies' state and one clock to drive the program on. Nothing here depends on a platform's maths,
// so every build starts from the same bits.

#include <cstddef>
#include <cstdint>

#include "program/program.h"
#include "world/world.h"

// A small linear congruential generator: the same numbers on every platform.
struct SceneRandom {
  uint32_t State = 12345;

  uint32_t Next24() {  // 24 random bits
    State = State * 1664525U + 1013904223U;
    return State >> 8U;
  }
  float NextFloat() { return static_cast<float>(Next24()) / 16777216.0F; }  // in [0, 1)
  double NextDouble() { return static_cast<double>(Next24()) / 16777216.0; }
};

// FNV-1a, from its start or on from an earlier hash.
inline constexpr uint64_t FnvStart = 14695981039346656037ULL;
inline uint64_t FnvBytes(uint64_t hash, const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t k = 0; k < size; ++k) {
    hash = (hash ^ bytes[k]) * 1099511628211ULL;
  }
  return hash;
}

// Every body's position and velocity, body by body, each as a double, on from `hash`.
inline uint64_t BodiesHash(uint64_t hash, const World& world) {
  for (size_t i = 0; i < BodyCount; ++i) {
    const double values[] = {world.PosX[i], world.PosY[i], world.VelX[i], world.VelY[i]};
    hash = FnvBytes(hash, values, sizeof values);
  }
  return hash;
}

// A fixed universe built from integer arithmetic only: a dense cluster of mixed masses with some
// velocities around the origin, within 800 world units, plus a ring of bodies near the edges that
// drift out and wrap.
inline void BuildFixedUniverse(World& world) {
  SceneRandom random;
  auto next = [&random] { return static_cast<int>(random.Next24()); };
  for (int i = 0; i < BodyCount; ++i) {
    const auto b = static_cast<size_t>(i);
    world.Mass[b] = 0.1F + 5.0F * (static_cast<float>((i * 37) % 81) / 80.0F);
    world.ColorR[b] = static_cast<int16_t>(next() % 256);
    world.ColorG[b] = static_cast<int16_t>(next() % 256);
    world.ColorB[b] = static_cast<int16_t>(next() % 256);
    if (i % 9 == 0) {
      const double side = i % 2 == 0 ? 1 : -1;
      world.PosX[b] = side * (9990 - i);
      world.PosY[b] = (next() % 16000 - 8000) + (next() % 1024) / 1024.0;
      world.VelX[b] = static_cast<float>(side * 3.25);
      world.VelY[b] = static_cast<float>(next() % 200 - 100) / 64.0F;
    } else {
      world.PosX[b] = (next() % 1600 - 800) + (next() % 1024) / 1024.0;
      world.PosY[b] = (next() % 1600 - 800) + (next() % 1024) / 1024.0;
      world.VelX[b] = static_cast<float>(next() % 64 - 32) / 128.0F;
      world.VelY[b] = static_cast<float>(next() % 64 - 32) / 128.0F;
    }
  }
}

// The program as a window layer drives it: the clock moves on by `ms` milliseconds in passes of
// `stepMs`, and each pass runs the firings due.
inline void RunClock(Program& program, int64_t& clockNs, int64_t ms, int64_t stepMs = 1) {
  for (int64_t passed = 0; passed < ms; passed += stepMs) {
    clockNs += stepMs * NsPerMs;
    RunDueFirings(program, clockNs);
  }
}
