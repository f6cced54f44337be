#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "sim/attract_bodies.h"
#include "sim/force_power.h"
#include "sim/move_body.h"
#include "sim/simulation_tick.h"
#include "tests/scene.h"
#include "view/surface.h"
#include "view/timers.h"
#include "view/view.h"
#include "world/rounding.h"
#include "world/world.h"

namespace {

// The window's design-time client area.
constexpr int SurfaceWidth = 626;
constexpr int SurfaceHeight = 549;

// The shared fixed universe (tests/scene.h), seen at zoom 3, where every disc of its cluster lies
// on the surface.
std::unique_ptr<World> FixedUniverse() {
  auto world = std::make_unique<World>();
  StartUp(*world);
  BuildFixedUniverse(*world);
  world->Zoom = 3;
  return world;
}

constexpr size_t PairCount = BodyCount * (BodyCount - 1);

// The bases of the 81 x 80 powers of one tick of the fixed universe.
std::array<double, PairCount> PairBases() {
  const auto world = FixedUniverse();
  std::array<double, PairCount> bases{};
  size_t k = 0;
  for (size_t i = 0; i < BodyCount; ++i) {
    for (size_t j = 0; j < BodyCount; ++j) {
      if (j != i) {
        const double d =
            std::hypot(world->PosX[j] - world->PosX[i], world->PosY[j] - world->PosY[i]);
        bases[k++] = 5 / (d + 0.1);
      }
    }
  }
  return bases;
}

// Which build of the row loops the processor runs (world/wide_vectors.h picks the widest it has).
const char* VectorBuild() {
#if defined(__x86_64__) && defined(__linux__)
  if (__builtin_cpu_supports("avx512f")) {
    return "avx512f build";
  }
  if (__builtin_cpu_supports("avx2")) {
    return "avx2 build";
  }
#endif
  return "default build";
}

int Half(int16_t component) {
  return RoundToInteger(component * 0.5);
}

Surface DesignTimeSurface() {
  Surface surface;
  ResizeSurface(surface, SurfaceWidth, SurfaceHeight);
  return surface;
}

// (a) The whole tick: erase, move, draw, attract and record all 81 bodies.
void BM_SimulationTick(benchmark::State& state) {
  const auto world = FixedUniverse();
  Surface surface = DesignTimeSurface();
  Timers timers;
  for (auto _ : state) {
    // One store keeps the history from ever filling, so the tick stays in simulation mode.
    world->RecordIndex = 1;
    SimulationTick(*world, surface, timers);
  }
  benchmark::DoNotOptimize(world->VelX.data());
  state.SetLabel(VectorBuild());
}
BENCHMARK(BM_SimulationTick);

// (b) The physics alone, as the tick does it: every body moved, then all attracted.
void BM_MoveAndAttract(benchmark::State& state) {
  const auto world = FixedUniverse();
  for (auto _ : state) {
    const BodyDoubles oldX = world->PosX;
    const BodyDoubles oldY = world->PosY;
    for (int i = 0; i < BodyCount; ++i) {
      MoveBody(*world, i);
    }
    AttractBodies(*world, oldX, oldY);
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(world->VelX.data());
}
BENCHMARK(BM_MoveAndAttract);

// (c) The tick's drawing alone: erase circle, fill colour, disc, fill colour back, per body.
void BM_DrawBodies(benchmark::State& state) {
  const auto world = FixedUniverse();
  Surface surface = DesignTimeSurface();
  for (auto _ : state) {
    for (size_t i = 0; i < BodyCount; ++i) {
      const float radius = world->Mass[i] + 1.0F;
      const ScreenPoint old = WorldToScreen(*world, surface, world->PosX[i], world->PosY[i]);
      Circle(surface, old.X, old.Y, radius);
      FillColor(surface,
                RGB(Half(world->ColorR[i]), Half(world->ColorG[i]), Half(world->ColorB[i])));
      const ScreenPoint now = WorldToScreen(*world, surface, world->PosX[i], world->PosY[i]);
      Circle(surface, now.X, now.Y, radius,
             RGB(world->ColorR[i], world->ColorG[i], world->ColorB[i]));
      FillColor(surface, Black);
    }
  }
  benchmark::DoNotOptimize(surface.Pixels.data());
}
BENCHMARK(BM_DrawBodies);

// (d) For reference: the 81 x 80 powers of one tick alone, on the bases the fixed universe gives,
// with all their inputs ready (no square root or division in front of them).
void BM_Pow6480(benchmark::State& state) {
  const std::array<double, PairCount> bases = PairBases();
  for (auto _ : state) {
    double sum = 0;
    for (const double base : bases) {
      sum += std::pow(base, 2.3);
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_Pow6480);

// (e) The same 6480 powers by the program's own ForcePower, a row of 81 at a time as the tick takes
// them (each row's 81st entry stands for the puller's own, unused one).
void BM_ForcePowers6480(benchmark::State& state) {
  const std::array<double, PairCount> bases = PairBases();
  std::array<BodyDoubles, BodyCount - 1> rows{};
  for (size_t k = 0; k < bases.size(); ++k) {
    rows[k / BodyCount][k % BodyCount] = bases[k];
  }
  BodyDoubles powers{};
  for (auto _ : state) {
    for (const BodyDoubles& row : rows) {
      ForcePowers(row, powers);
      benchmark::DoNotOptimize(powers.data());
    }
  }
  state.SetLabel(VectorBuild());
}
BENCHMARK(BM_ForcePowers6480);

}  // namespace
