// The force law's own power against MPFR, against the C library's special values, and across the
// builds of its row loop.

#include <gtest/gtest.h>
#include <mpfr.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <vector>

#include "sim/force_law.h"
#include "sim/force_power.h"
#include "tests/power_bases.h"

namespace {

// The error of power in units in the last place of the exact base^Exponent, which MPFR gives to
// 128 bits; a unit in the last place is that of the exact result's binade, or of the subnormals.
// Where the exact result rounds to +inf, only +inf is within any distance of it.
class Exact {
 public:
  Exact() {
    mpfr_inits2(128, base_, exponent_, exact_, difference_, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(exponent_, force_law::Exponent, MPFR_RNDN);
  }
  ~Exact() { mpfr_clears(base_, exponent_, exact_, difference_, static_cast<mpfr_ptr>(nullptr)); }
  Exact(const Exact&) = delete;
  Exact& operator=(const Exact&) = delete;

  // Sets *correct to whether power is the exact result rounded to nearest.
  double UlpError(double base, double power, bool* correct) {
    mpfr_set_d(base_, base, MPFR_RNDN);
    mpfr_pow(exact_, base_, exponent_, MPFR_RNDN);
    const double rounded = mpfr_get_d(exact_, MPFR_RNDN);
    *correct = rounded == power;
    if (std::isinf(rounded)) {
      // Beyond the largest double only +inf will do.
      return *correct ? 0 : std::numeric_limits<double>::infinity();
    }
    const long unit = std::max<long>(mpfr_get_exp(exact_) - 53, -1074);
    mpfr_sub_d(difference_, exact_, power, MPFR_RNDN);
    mpfr_mul_2si(difference_, difference_, -unit, MPFR_RNDN);
    return std::fabs(mpfr_get_d(difference_, MPFR_RNDN));
  }

 private:
  mpfr_t base_, exponent_, exact_, difference_;
};

uint64_t Bits(double value) {
  return std::bit_cast<uint64_t>(value);
}

double FromBits(uint64_t bits) {
  return std::bit_cast<double>(bits);
}

TEST(ForcePower, IsWithinOneUnitInTheLastPlaceOfMpfrOnAMillionBasesAndTheRangesEdges) {
  std::vector<double> edges;
  // Where the results turn subnormal and underflow, and where they overflow.
  for (double base = 0x1p-475; base < 0x1p-440; base *= 1.0005) {
    edges.push_back(base);
  }
  for (double base = 0x1p440; base < 0x1p447; base *= 1.0005) {
    edges.push_back(base);
  }

  Exact exact;
  auto check = [&exact](const char* what, int count, auto baseAt) {
    double largest = 0;
    double worstBase = 0;
    int correct = 0;
    for (int k = 0; k < count; ++k) {
      const double base = baseAt(k);
      bool rounded = false;
      const double error = exact.UlpError(base, ForcePower(base), &rounded);
      correct += rounded ? 1 : 0;
      if (error > largest) {
        largest = error;
        worstBase = base;
      }
    }
    std::printf("%d %s: %.4f %% correctly rounded, largest error %.4f ulp (at base %a)\n", count,
                what, 100.0 * correct / count, largest, worstBase);
    EXPECT_LE(largest, 1.0) << what << ", at base " << worstBase;
  };
  check("force law bases", PowerBaseCount, PowerBase);
  check("bases near underflow and overflow", static_cast<int>(edges.size()),
        [&edges](int k) { return edges[static_cast<size_t>(k)]; });
}

// Bases that are special, or far outside the range the power works in.
const double SpecialBases[] = {
    0.0,
    -0.0,
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    FromBits(0x7FF8000000000000),  // quiet NaNs, with payloads and either sign
    FromBits(0xFFF8000000000456),
    FromBits(0x7FF0000000000123),  // signalling NaNs, made quiet
    FromBits(0xFFF4000000000001),
    std::numeric_limits<double>::denorm_min(),  // far below the smallest result
    std::numeric_limits<double>::min(),
    0x1p-480,
    std::numeric_limits<double>::max(),  // far above the largest
    0x1p500,
};

TEST(ForcePower, GivesTheCLibrarysSpecialValues) {
  for (const double base : SpecialBases) {
    EXPECT_EQ(Bits(ForcePower(base)), Bits(std::pow(base, force_law::Exponent)))
        << "base bits " << std::hex << Bits(base);
  }
  // A negative base gives a NaN, and the same one on every processor: x86-64's default NaN, with
  // the sign bit set. Arm's default NaN has it clear, so there the C library's differs in that bit.
  const double negatives[] = {-1.5, -50.0, -std::numeric_limits<double>::denorm_min(),
                              -std::numeric_limits<double>::max()};
  for (const double base : negatives) {
    EXPECT_TRUE(std::isnan(std::pow(base, force_law::Exponent)));
    EXPECT_EQ(Bits(ForcePower(base)), 0xFFF8000000000000) << "base " << base;
  }
}

// The row loop as each x86 build compiles it. The library's own ForcePowers runs whichever build
// this processor takes.
void PlainRow(const BodyDoubles& bases, BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}
#if defined(__x86_64__) && defined(__linux__)
__attribute__((target("avx2"))) void Avx2Row(const BodyDoubles& bases, BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}
__attribute__((target("avx512f"))) void Avx512Row(const BodyDoubles& bases, BodyDoubles& powers) {
  force_power::PowersOfRow(bases, powers);
}
#endif

TEST(ForcePower, EveryBuildGivesTheSameBitsAsTheScalarFunction) {
  uint64_t scalar = 14695981039346656037ULL;
  for (int k = 0; k < PowerBaseCount; ++k) {
    scalar = HashPowerBits(scalar, ForcePower(PowerBase(k)));
  }
  std::printf("hash of the million powers: 0x%016llx\n", static_cast<unsigned long long>(scalar));
  EXPECT_EQ(scalar, PowerBitsHash);
  // Rows of ordinary bases take a shorter way than rows with one odd base among them: every power
  // of both is the scalar function's.
  std::vector<double> odd(std::begin(SpecialBases), std::end(SpecialBases));
  odd.insert(odd.end(), {-1.5, 0x1p-470, std::nextafter(0x1p-470, 0.0), 0x1p446,
                         std::nextafter(0x1p446, 0x1p500)});  // and the clamps' edges
  const auto sameAsScalar = [&odd](auto row) {
    uint64_t hash = HashOfPowerRows(row);
    for (const double base : odd) {
      BodyDoubles bases{};
      for (size_t i = 0; i < BodyCount; ++i) {
        bases[i] = PowerBase(static_cast<int>(i));
      }
      bases[BodyCount / 2] = base;
      BodyDoubles powers{};
      row(bases, powers);
      for (size_t i = 0; i < BodyCount; ++i) {
        if (Bits(powers[i]) != Bits(ForcePower(bases[i]))) {
          hash = 0;  // a power that differs
        }
      }
    }
    return hash;
  };
  EXPECT_EQ(sameAsScalar(ForcePowers), scalar) << "the library's row";
  EXPECT_EQ(sameAsScalar(PlainRow), scalar) << "the plain build";
#if defined(__x86_64__) && defined(__linux__)
  if (__builtin_cpu_supports("avx2")) {
    EXPECT_EQ(sameAsScalar(Avx2Row), scalar) << "the AVX2 build";
  }
  if (__builtin_cpu_supports("avx512f")) {
    EXPECT_EQ(sameAsScalar(Avx512Row), scalar) << "the AVX-512 build";
  } else {
    std::printf("the AVX-512 build is not run: this processor has no AVX-512F\n");
  }
#endif
}

}  // namespace
