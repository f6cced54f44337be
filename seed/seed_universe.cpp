#include "seed/seed_universe.h"

void SeedUniverse(World& world, Surface& surface, Timers& timers, RandomSource& random, int button,
                  int shift, float x, float y) {
  (void)world;
  (void)surface;
  (void)timers;
  (void)random;
  (void)button;
  (void)shift;
  (void)x;
  (void)y;
}
