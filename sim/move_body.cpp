#include "sim/move_body.h"

#include <cstddef>

void MoveBody(World& world, int i) {
  const auto b = static_cast<size_t>(i);

  // The single velocity is widened to double before it is added.
  world.PosX[b] = world.PosX[b] + static_cast<double>(world.VelX[b]);
  world.PosY[b] = world.PosY[b] + static_cast<double>(world.VelY[b]);

  // Fold the body back in at most once per axis and tick, so a body far outside (just after a
  // seeding at high zoom) comes back one world width per tick. The edges themselves are inside.
  if (world.PosX[b] < -WorldHalfSize) {
    world.PosX[b] = world.PosX[b] + WorldSize;
  }
  if (world.PosX[b] > WorldHalfSize) {
    world.PosX[b] = world.PosX[b] - WorldSize;
  }
  if (world.PosY[b] < -WorldHalfSize) {
    world.PosY[b] = world.PosY[b] + WorldSize;
  }
  if (world.PosY[b] > WorldHalfSize) {
    world.PosY[b] = world.PosY[b] - WorldSize;
  }
}
