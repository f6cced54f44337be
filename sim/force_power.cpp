#include "sim/force_power.h"

#include <cstddef>

#include "sim/wide_vectors.h"

WIDE_VECTORS void ForcePowers(const BodyDoubles& bases, BodyDoubles& powers) {
  for (size_t i = 0; i < bases.size(); ++i) {
    powers[i] = ForcePower(bases[i]);
  }
}
