#include "sim/force_power.h"

#include "world/wide_vectors.h"

namespace {

// The clones stay inside this file, which is how clang as well as GCC builds them.
WIDE_VECTORS void RowOfPowers(const BodyDoubles& bases, BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}

}  // namespace

void ForcePowers(const BodyDoubles& bases, BodyDoubles& powers) {
  RowOfPowers(bases, powers);
}
