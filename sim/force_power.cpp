#include "sim/force_power.h"

#include "world/wide_vectors.h"

namespace {

// The clones stay inside this file, which is how clang as well as GCC builds them.
WIDE_VECTORS void RowOfPowers(const BodyDoubles& bases, BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}

#if defined(PICKS_WIDEST_BUILD)
WIDE_AVX512 void RowOfPowersAvx512(const BodyDoubles& bases, BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}

WIDE_AVX2 void RowOfPowersAvx2(const BodyDoubles& bases, BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}
#endif

}  // namespace

void ForcePowers(const BodyDoubles& bases, BodyDoubles& powers) {
#if defined(PICKS_WIDEST_BUILD)
  static const auto build = WidestBuild(&RowOfPowers, &RowOfPowersAvx2, &RowOfPowersAvx512);
  build(bases, powers);
#else
  RowOfPowers(bases, powers);
#endif
}
