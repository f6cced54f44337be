// SineCosine against MPFR on every argument a seeding can form, 2^25 of them: each sine and cosine
// must be the exact one rounded to nearest. For comparison it counts the arguments whose sine and
// whose cosine the C library rounds otherwise, and it prints the hash of all of SineCosine's
// results, which the unit tests check without MPFR. A minute or two, single-threaded:
//   cmake --build build/release --target sine_cosine_sweep
//   nice build/release/sine_cosine_sweep

#include <mpfr.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "seed/sine_cosine.h"
#include "tests/seeding_arguments.h"

int main() {
  const auto start = std::chrono::steady_clock::now();
  mpfr_t x;
  mpfr_t sine;
  mpfr_t cosine;
  mpfr_inits2(53, x, sine, cosine, static_cast<mpfr_ptr>(nullptr));
  long checked = 0;
  long differences = 0;
  long librarySines = 0;
  long libraryCosines = 0;
  for (int k = 0; k < SeedingDraws; ++k) {
    for (const bool quarterTurned : {false, true}) {
      const double argument = SeedingArgument(k, quarterTurned);
      mpfr_set_d(x, argument, MPFR_RNDN);
      mpfr_sin(sine, x, MPFR_RNDN);
      mpfr_cos(cosine, x, MPFR_RNDN);
      const SineAndCosine exact = {mpfr_get_d(sine, MPFR_RNDN), mpfr_get_d(cosine, MPFR_RNDN)};
      const SineAndCosine ours = SineCosine(argument);
      ++checked;
      if (std::bit_cast<uint64_t>(ours.Sine) != std::bit_cast<uint64_t>(exact.Sine) ||
          std::bit_cast<uint64_t>(ours.Cosine) != std::bit_cast<uint64_t>(exact.Cosine)) {
        if (++differences <= 10) {
          std::printf("%a: sine %a and cosine %a, MPFR %a and %a\n", argument, ours.Sine,
                      ours.Cosine, exact.Sine, exact.Cosine);
        }
      }
      librarySines += std::sin(argument) != exact.Sine ? 1 : 0;
      libraryCosines += std::cos(argument) != exact.Cosine ? 1 : 0;
    }
  }
  mpfr_clears(x, sine, cosine, static_cast<mpfr_ptr>(nullptr));
  const uint64_t hash = SeedingSineCosineBitsHash();

  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf("arguments checked: %ld\n", checked);
  std::printf("arguments whose sine or cosine differs from MPFR's: %ld\n", differences);
  std::printf("the C library's sines unlike MPFR's: %ld, cosines: %ld\n", librarySines,
              libraryCosines);
  std::printf("hash of the results: %016llx (%s the unit tests' 0x%016llx)\n",
              static_cast<unsigned long long>(hash),
              hash == SeedingSineCosineHash ? "equal to" : "NOT",
              static_cast<unsigned long long>(SeedingSineCosineHash));
  std::printf("%.0f s\n", seconds.count());
  return differences == 0 && hash == SeedingSineCosineHash ? 0 : 1;
}
