#include "sim/force_power.h"

#include <cstddef>

#include "sim/wide_vectors.h"

WIDE_VECTORS void ForcePowers(const BodyDoubles& bases, BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}
