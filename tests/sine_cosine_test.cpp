// The seeding's sine and cosine against MPFR's correctly rounded ones, and on every argument a
// seeding forms against the bits for which the sweep against MPFR passes.

#include "seed/sine_cosine.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "tests/seeding_arguments.h"

namespace {

// How many doubles SineCosine's sine or cosine of x, the further off, lies from MPFR's, which at 53
// bits is the exact one rounded to nearest.
int64_t UlpsFromExact(double x) {
  mpfr_t big, sine, cosine;
  mpfr_inits2(53, big, sine, cosine, static_cast<mpfr_ptr>(nullptr));
  mpfr_set_d(big, x, MPFR_RNDN);
  mpfr_sin_cos(sine, cosine, big, MPFR_RNDN);
  // The doubles in order as integers, neighbours 1 apart across 0 too.
  const auto place = [](double value) {
    const auto bits = std::bit_cast<int64_t>(value);
    return bits < 0 ? std::numeric_limits<int64_t>::min() - bits : bits;
  };
  const SineAndCosine ours = SineCosine(x);
  const int64_t apart =
      std::max(std::abs(place(ours.Sine) - place(mpfr_get_d(sine, MPFR_RNDN))),
               std::abs(place(ours.Cosine) - place(mpfr_get_d(cosine, MPFR_RNDN))));
  mpfr_clears(big, sine, cosine, static_cast<mpfr_ptr>(nullptr));
  return apart;
}

TEST(SineCosine, IsCorrectlyRoundedOnEvery4096thSeedingArgumentAndTheEdges) {
  for (int k = 0; k < SeedingDraws; k += 4096) {
    for (const int draw : {k, k + 1, k + 4095}) {
      EXPECT_EQ(UlpsFromExact(SeedingArgument(draw, false)), 0) << draw;
      EXPECT_EQ(UlpsFromExact(SeedingArgument(draw, true)), 0) << draw << " turned";
    }
  }
}

TEST(SineCosine, GivesTheSweepsBitsForEveryArgumentASeedingForms) {
#ifndef NDEBUG
  GTEST_SKIP() << "2^25 arguments are slow unoptimised; the release build checks them";
#endif
  EXPECT_EQ(SeedingSineCosineBitsHash(), SeedingSineCosineHash);
}

TEST(SineCosine, IsWithinOneUnitInTheLastPlaceUpTo2To20AndNaNBeyond) {
  // Every binade from 2^-40 to 2^19, and the doubles nearest multiples of pi/2, where the reduction
  // keeps only the last bits of x.
  mpfr_t multiple;
  mpfr_init2(multiple, 200);
  for (int n = 1; n < 30000; ++n) {
    const double x = std::ldexp(1 + std::fmod(n * 0.618034, 1.0), n % 60 - 40);
    mpfr_const_pi(multiple, MPFR_RNDN);
    mpfr_mul_si(multiple, multiple, n * 22, MPFR_RNDN);
    const double nearMultiple = std::ldexp(mpfr_get_d(multiple, MPFR_RNDN), -1);
    EXPECT_LE(UlpsFromExact(n % 2 == 0 ? x : -x), 1) << std::hexfloat << x;
    EXPECT_LE(UlpsFromExact(n % 2 == 0 ? nearMultiple : -nearMultiple), 1) << n * 22;
  }
  mpfr_clear(multiple);
  constexpr double Infinity = std::numeric_limits<double>::infinity();
  for (const double x : {std::nan(""), Infinity, -Infinity, std::nextafter(0x1p20, Infinity)}) {
    EXPECT_TRUE(std::isnan(SineCosine(x).Sine) && std::isnan(SineCosine(x).Cosine)) << x;
  }
}

}  // namespace
