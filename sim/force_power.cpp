#include "sim/force_power.h"

#include "world/wide_vectors.h"

namespace {

// The clones stay inside this file, which is how clang as well as GCC builds them.
WIDE_VECTORS void RowOfPowers(const BodyDoubles& bases, BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}

#if defined(_WIN32) && defined(__x86_64__)
// A Windows program's loader picks no clones, so the row loop, the tick's largest part, picks its
// build itself: the processor's widest vector instructions, or the plain build above.
__attribute__((target("avx512f"))) void RowOfPowersAvx512(const BodyDoubles& bases,
                                                          BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}

__attribute__((target("avx2"))) void RowOfPowersAvx2(const BodyDoubles& bases,
                                                     BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}

using RowBuild = void (*)(const BodyDoubles&, BodyDoubles&);

RowBuild WidestRowOfPowers() {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f")) {
    return RowOfPowersAvx512;
  }
  return __builtin_cpu_supports("avx2") ? RowOfPowersAvx2 : RowOfPowers;
}
#endif

}  // namespace

void ForcePowers(const BodyDoubles& bases, BodyDoubles& powers) {
#if defined(_WIN32) && defined(__x86_64__)
  static const RowBuild build = WidestRowOfPowers();
  build(bases, powers);
#else
  RowOfPowers(bases, powers);
#endif
}
