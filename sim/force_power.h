#pragma once

#include <bit>
#include <cstdint>

#include "sim/force_law.h"
#include "sim/power_constants.h"
#include "world/world.h"

// base raised to the force law's exponent, within one unit in the last place of the exact power
// for every base, with the C library's special values: a NaN base gives the same NaN made quiet, a
// negative base the default NaN, +0 and -0 give +0, +inf and -inf give +inf, and results below the
// smallest double underflow through the subnormals to +0.
//
// Only additions, subtractions, multiplications, one division and integer operations on the bits,
// each rounded as IEEE 754 says and nothing fused, so every processor and the browser get the same
// bits. There are no branches and no tables, so the compiler turns a loop of calls into vector
// code.
//
// How it works, with y the exponent:
//
// 1. |base| = 2^e x m with m in [sqrt(1/2), sqrt(2)), read off the bits; base^y = 2^(y e + y log2
// m).
//
// 2. y e: y is split into y1, a multiple of 2^-39, and the small rest y2. y1 e is exact (52 bits)
//    and splits exactly into an integer n1 and a fraction f1, a multiple of 2^-39 in [-1/2, 1/2].
//
// 3. y log2 m = (2y / ln 2) atanh(s) with s = (m - 1) / (m + 1), |s| <= 0.1716, and
//    atanh(s) = s + s^3/3 + s^5/5 + ...; the terms up to s^21 leave out less than 2^-60.
//    s is carried as sh + sl: sh a multiple of 2^-28 (26 bits) near the quotient, and sl from the
//    exact remainder u - sh (2 + u) with u = m - 1, every step of which is exact (u and sh are
//    split so each product has at most 53 bits). With 2y / ln 2 = A + a (A of 26 bits) the big term
//    A sh is exact, and so is its sum with f1 (both multiples of 2^-51, below 2 in size). What is
//    left (y2 e, a sh, (A + a) sl and the cubic and higher terms) is below 0.012, so its roundings
//    stay under 2^-59.
//
// 4. That exact sum is split into an integer n2 and h = hh + hl in [-1/2, 1/2], hh a multiple of
//    2^-24. 2^h = 1 + h ln 2 + (h ln 2)^2 / 2! + ... to (h ln 2)^13 / 13!, which leaves out less
//    than 2^-57. With ln 2 = L + l (L of 28 bits), 1 + L hh is exact; everything else is below
//    0.08 and is added to it in the last, rounding step. The error before that step stays below
//    about a quarter of a unit in the last place, so the result is within one.
//
// 5. The result is scaled by 2^(n1 + n2) in two halves, so an underflow rounds only once into the
//    subnormals.
//
// Bases below 2^-470 or above 2^446 (0, subnormals, infinities), NaNs and negative numbers are
// picked out by integer masks rather than branches.
inline double ForcePower(double base) {
  namespace k = power_constants;
  constexpr uint64_t SignBit = 0x8000000000000000;
  constexpr uint64_t InfinityBits = 0x7FF0000000000000;
  constexpr uint64_t QuietBit = 0x0008000000000000;
  constexpr uint64_t DefaultNaN = 0xFFF8000000000000;
  // Adding the bits of 1 minus those of sqrt(1/2) carries into the exponent field just when the
  // significand is at least sqrt(2).
  constexpr uint64_t Centring = 0x3FF0000000000000 - 0x3FE6A09E667F3BCD;
  constexpr uint64_t TinyBits = 0x2290000000000000;  // 2^-470
  constexpr uint64_t HugeBits = 0x5BD0000000000000;  // 2^446
  // x + Round - Round rounds x to a multiple of 2^(e - 52) for a Round of 1.5 x 2^e.
  constexpr double ToInteger = 0x1.8p52;
  constexpr double To2m24 = 0x1.8p28;
  constexpr double To2m28 = 0x1.8p24;
  constexpr double To2m39 = 0x1.8p13;
  constexpr double Y1 = (Exponent + To2m39) - To2m39;
  constexpr double Y2 = Exponent - Y1;
  constexpr double Atanh = k::AtanhHigh + k::AtanhLow;

  const auto bits = std::bit_cast<uint64_t>(base);
  const uint64_t magnitude = bits & ~SignBit;

  // 1. The biased exponent of |base| / sqrt(1/2), and m.
  const uint64_t field = (magnitude + Centring) >> 52U;
  const double m = std::bit_cast<double>(magnitude - ((field - 1023) << 52U));
  const double e = std::bit_cast<double>(field | 0x4330000000000000) - (0x1p52 + 1023);

  // 3. s = u / (2 + u) as sh + sl.
  const double u = m - 1;
  const double inverse = 1 / (u + 2);
  const double sh = (u * inverse + To2m28) - To2m28;
  const double uh = (u + To2m28) - To2m28;
  const double ul = u - uh;
  const double remainder = ((u - 2 * sh) - sh * uh) - sh * ul;
  const double sl = remainder * inverse;
  const double s = sh + sl;
  const double s2 = s * s;
  double series = 1.0 / 21;
  series = series * s2 + 1.0 / 19;
  series = series * s2 + 1.0 / 17;
  series = series * s2 + 1.0 / 15;
  series = series * s2 + 1.0 / 13;
  series = series * s2 + 1.0 / 11;
  series = series * s2 + 1.0 / 9;
  series = series * s2 + 1.0 / 7;
  series = series * s2 + 1.0 / 5;
  series = series * s2 + 1.0 / 3;

  // 2. and the exact sum of step 3.
  const double ye = Y1 * e;
  const double n1 = (ye + ToInteger) - ToInteger;
  const double big = (ye - n1) + k::AtanhHigh * sh;
  const double small = ((Y2 * e + k::AtanhLow * sh) + Atanh * sl) + Atanh * (s * s2 * series);

  // 4. 2^h.
  const double n2 = (big + ToInteger) - ToInteger;
  const double hFull = big - n2;
  const double hh = (hFull + To2m24) - To2m24;
  const double hl = (hFull - hh) + small;
  const double h = hh + hl;
  double taylor = k::Exp2Taylor[11];
  for (int i = 10; i >= 0; --i) {
    taylor = taylor * h + k::Exp2Taylor[i];
  }
  const double leading = 1 + k::Ln2High * hh;
  const double power = leading + ((k::Ln2High * hl + k::Ln2Low * h) + h * h * taylor);

  // 5. 2^(n1 + n2) as 2^a x 2^b, each built in the exponent field.
  const double n = n1 + n2;
  const double a = (n * 0.5 + ToInteger) - ToInteger;
  const double b = n - a;
  const double scaleA =
      std::bit_cast<double>(std::bit_cast<uint64_t>(a + (ToInteger + 1023)) << 52U);
  const double scaleB =
      std::bit_cast<double>(std::bit_cast<uint64_t>(b + (ToInteger + 1023)) << 52U);
  const auto result = std::bit_cast<uint64_t>(power * scaleA * scaleB);

  // The special values, as all-ones masks.
  const uint64_t tiny = 0 - static_cast<uint64_t>(magnitude < TinyBits);
  const uint64_t huge = 0 - static_cast<uint64_t>(magnitude > HugeBits);
  const uint64_t nan = 0 - static_cast<uint64_t>(magnitude > InfinityBits);
  const uint64_t negative =
      0 - static_cast<uint64_t>((bits > SignBit) & (magnitude < InfinityBits));
  uint64_t out = (result & ~(tiny | huge)) | (InfinityBits & huge);
  out = (out & ~negative) | (DefaultNaN & negative);
  out = (out & ~nan) | ((bits | QuietBit) & nan);
  return std::bit_cast<double>(out);
}

// Every base raised to the force law's exponent, each exactly as ForcePower gives it. powers may be
// bases itself.
void ForcePowers(const BodyDoubles& bases, BodyDoubles& powers);
