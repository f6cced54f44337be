#include "seed/random.h"

void Randomize(RandomSource& random) { (void)random; }

float Rnd(RandomSource& random) {
  (void)random;
  return 0.0F;
}
