// The core as built for the browser, run under Node: a scripted universe after 2000 ticks, printed
// as a hash of the bodies' state. Two runs must print the same hash, and every position must stay
// finite. The seeding's sines and cosines come from the browser's maths library, which rounds a few
// results differently from the desktop's, so the desktop's golden hash does not apply here. The
// force law's own power must give the desktop's bits exactly: the million test bases' powers, by
// the row loop (WebAssembly SIMD) and one by one, must hash as on the desktop.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "seed/random.h"
#include "seed/seed_universe.h"
#include "sim/force_power.h"
#include "sim/simulation_tick.h"
#include "tests/power_bases.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

namespace {

constexpr int Ticks = 2000;

// More draws than one seeding takes: a ring around the click, swirling, then fixed pseudo-random
// draws for the bodies.
std::array<float, 1024> MakeScript() {
  std::array<float, 1024> script{};
  uint32_t state = 2024;
  for (float& value : script) {
    state = state * 1664525U + 1013904223U;
    value = static_cast<float>(state >> 8U) / 16777216.0F;
  }
  script[0] = 0.1F;  // placement: a ring around the click
  script[1] = 0.9F;  // pattern: a swirl
  return script;
}

// FNV-1a over the bytes of every body's position and velocity, in body order.
uint64_t HashBodies(const World& world) {
  uint64_t hash = 14695981039346656037ULL;
  for (int i = 0; i < BodyCount; ++i) {
    const double values[] = {world.PosX[i], world.PosY[i], world.VelX[i], world.VelY[i]};
    const auto* bytes = reinterpret_cast<const unsigned char*>(values);
    for (size_t k = 0; k < sizeof values; ++k) {
      hash = (hash ^ bytes[k]) * 1099511628211ULL;
    }
  }
  return hash;
}

// The powers of the million test bases, by the row loop or one by one.
uint64_t PowerHash(bool byRows) {
  if (byRows) {
    return HashOfPowerRows(ForcePowers);
  }
  return HashOfPowerRows([](const BodyDoubles& bases, BodyDoubles& powers) {
    for (size_t i = 0; i < BodyCount; ++i) {
      powers[i] = ForcePower(bases[i]);
    }
  });
}

}  // namespace

int main() {
  for (const bool byRows : {true, false}) {
    const uint64_t hash = PowerHash(byRows);
    if (hash != PowerBitsHash) {
      std::printf("the powers %s hash to %016llx, not %016llx as on the desktop\n",
                  byRows ? "by rows" : "one by one", static_cast<unsigned long long>(hash),
                  static_cast<unsigned long long>(PowerBitsHash));
      return 1;
    }
  }

  const std::array<float, 1024> script = MakeScript();
  auto world = std::make_unique<World>();
  StartUp(*world);
  Surface surface;
  ResizeSurface(surface, 626, 549);
  Timers timers;
  RandomSource random{.Script = script};

  SeedUniverse(*world, surface, timers, random, 1, 0, 400.0F, 250.0F);
  if (random.Script.empty()) {
    std::printf("the seeding drew past the script, so the run depends on the clock\n");
    return 1;
  }
  for (int n = 0; n < Ticks; ++n) {
    SimulationTick(*world, surface, timers);
  }

  for (int i = 0; i < BodyCount; ++i) {
    if (!std::isfinite(world->PosX[i]) || !std::isfinite(world->PosY[i])) {
      std::printf("body %d is not at a finite position\n", i);
      return 1;
    }
  }
  std::printf("%016llx\n", static_cast<unsigned long long>(HashBodies(*world)));
  return 0;
}
