#include "sim/attract_body.h"

void AttractBody(World& world, int i) {
  (void)world;
  (void)i;
}
