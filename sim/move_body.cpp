#include "sim/move_body.h"

void MoveBody(World& world, int i) {
  (void)world;
  (void)i;
}
