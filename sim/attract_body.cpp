#include "sim/attract_body.h"

#include <cmath>
#include <cstddef>

#include "sim/force_law.h"
#include "sim/force_power.h"

void AttractBody(World& world, int i) {
  const auto b = static_cast<size_t>(i);
  const double ownX = world.PosX[b];
  const double ownY = world.PosY[b];
  const double ownMass = static_cast<double>(world.Mass[b]) + 1;

  for (size_t j = 0; j < BodyCount; ++j) {
    if (j == b) {
      continue;
    }
    // Plain coordinate differences: the wrap of the world plays no part in distances.
    const double dx = world.PosX[j] - ownX;
    const double dy = world.PosY[j] - ownY;
    const double d = std::sqrt(dx * dx + dy * dy);
    const double factor = ForcePower(force_law::Scale / (d + force_law::Softening));
    const auto ratio = static_cast<float>((static_cast<double>(world.Mass[j]) + 1) / ownMass);

    // Each body's pull is rounded into the single velocity before the next one is added.
    world.VelX[b] =
        static_cast<float>(static_cast<double>(world.VelX[b]) +
                           dx * factor * force_law::Coupling * static_cast<double>(ratio));
    world.VelY[b] =
        static_cast<float>(static_cast<double>(world.VelY[b]) +
                           dy * factor * force_law::Coupling * static_cast<double>(ratio));
  }
}
