// The core's results, which every build of it (Linux, Windows, arm64, the page under Node) must
// give to the bit: the bodies' states after a scripted universe's 2000 ticks and after each of 300
// scripted seedings, every placement and velocity pattern, with 60 ticks each, hashed together. The
// seedings meet arguments whose sines and cosines glibc and emscripten's C library round otherwise
// than the program's own. It prints the hash and fails unless it is the golden one and every
// position stays finite. The force law's own power must give the desktop's bits exactly too: the
// million test bases' powers, by the row loop (WebAssembly SIMD in the page) and one by one.

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
#include "tests/scene.h"
#include "view/surface.h"
#include "view/timers.h"
#include "world/world.h"

namespace {

constexpr int Ticks = 2000;
constexpr int Seedings = 300;
constexpr int TicksPerSeeding = 60;
constexpr uint64_t Golden = 0xc42680908a0a1a3d;

// More draws than one seeding takes: placement and pattern, then fixed pseudo-random draws for the
// bodies from a generator whose state runs on from one seeding to the next.
std::array<float, 1024> MakeScript(SceneRandom& random, float placement, float pattern) {
  std::array<float, 1024> script{};
  for (float& value : script) {
    value = random.NextFloat();
  }
  script[0] = placement;
  script[1] = pattern;
  return script;
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

  auto world = std::make_unique<World>();
  StartUp(*world);
  Surface surface;
  ResizeSurface(surface, 626, 549);
  Timers timers;
  SceneRandom random{.State = 2024};
  uint64_t hash = FnvStart;
  for (int n = 0; n <= Seedings; ++n) {
    // First a swirling ring around a click right of and below the centre, for a long run; then
    // every placement and pattern in turn, released all over the surface.
    const bool first = n == 0;
    const std::array<float, 1024> script =
        MakeScript(random, first ? 0.1F : (static_cast<float>(n % 2) + 0.5F) / 2.0F,
                   first ? 0.9F : (static_cast<float>(n / 2 % 4) + 0.5F) / 4.0F);
    RandomSource source{.Script = script};
    SeedUniverse(*world, surface, timers, source, 1, 0,
                 first ? 400.0F : static_cast<float>(n * 37 % 626),
                 first ? 250.0F : static_cast<float>(n * 53 % 549));
    if (source.Script.empty()) {
      std::printf("the seeding drew past the script, so the run depends on the clock\n");
      return 1;
    }
    for (int tick = 0; tick < (first ? Ticks : TicksPerSeeding); ++tick) {
      SimulationTick(*world, surface, timers);
    }

    for (int i = 0; i < BodyCount; ++i) {
      if (!std::isfinite(world->PosX[i]) || !std::isfinite(world->PosY[i])) {
        std::printf("body %d is not at a finite position\n", i);
        return 1;
      }
    }
    hash = BodiesHash(hash, *world);
  }
  std::printf("%016llx\n", static_cast<unsigned long long>(hash));
  if (hash != Golden) {
    std::printf("which is not the golden hash %016llx\n", static_cast<unsigned long long>(Golden));
    return 1;
  }
  return 0;
}
