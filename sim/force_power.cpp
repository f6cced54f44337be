#include "sim/force_power.h"

#include <cstddef>

#include "sim/wide_vectors.h"

// Two loops rather than one: each power is a long chain of dependent steps, and a loop over half
// the chain lets the processor work on more bases at once.
WIDE_VECTORS void ForcePowers(const BodyDoubles& bases, BodyDoubles& powers) {
  BodyDoubles n;
  BodyDoubles big;
  BodyDoubles small;
  for (size_t i = 0; i < bases.size(); ++i) {
    const force_power::Exponent2 w = force_power::Log2Part(bases[i]);
    n[i] = w.N;
    big[i] = w.Big;
    small[i] = w.Small;
  }
  for (size_t i = 0; i < bases.size(); ++i) {
    powers[i] = force_power::Exp2Part(bases[i], {.N = n[i], .Big = big[i], .Small = small[i]});
  }
}
