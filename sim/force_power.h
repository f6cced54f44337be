#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/force_law.h"
#include "sim/power_constants.h"
#include "world/world.h"

// The bits of a double as an integer and back. Debian's emscripten has no std::bit_cast yet; both
// compilers have the builtin beneath it.
template <typename To, typename From>
constexpr To BitCast(From value) {
  static_assert(sizeof(To) == sizeof(From));
  return __builtin_bit_cast(To, value);
}

// value, read through a pointer the optimisers cannot follow, so that no compiler builds it into
// the code. A loop then reads it from memory once, before its first pass: WebAssembly writes a
// vector constant into the code at each use, and the browser builds it there anew, in a few
// instructions, in every pass of the loop.
template <typename T>
T InMemory(const T& value) {
  const T* address = &value;
  __asm__("" : "+r"(address));
  return *address;
}

// How ForcePower below works, with y the exponent:
//
// 1. |base| is first clamped into [2^-470, 2^446]: below, the power underflows to +0 (0 and the
//    subnormals included), above it overflows to +inf. Then |base| = 2^e x m with m in
//    [sqrt(1/2), sqrt(2)), read off the bits, and base^y = 2^(y e + y log2 m).
//
// 2. y e: y is split into y1, a multiple of 2^-39, and the small rest y2. y1 e is exact (50 bits)
//    and splits exactly into an integer n1 and a fraction f1, a multiple of 2^-39 in [-1/2, 1/2].
//
// 3. y log2 m = (2y / ln 2) atanh(s) with s = (m - 1) / (m + 1), |s| <= 0.1716, and
//    atanh(s) = s + s^3 P(s^2), P a polynomial of degree 6 within 2^-52.5 of (atanh(s) / s - 1) /
//    s^2, which (2y / ln 2) s^3 <= 0.034 in front of it takes below 2^-57. s is carried as sh + sl:
//    sh a multiple of 2^-28 (26 bits) near the quotient, and sl from the exact remainder u - sh (2
//    + u) with u = m - 1, every step of which is exact (u and sh are split so each product has at
//    most 53 bits). With 2y / ln 2 = A + a (A of 26 bits) the big term A sh is exact, and so is its
//    sum with f1 (both multiples of 2^-51, below 2 in size). What is left (y2 e, a sh, (A + a)(sl +
//    s^3 P)) is below 0.012, so its roundings stay under 2^-59.
//
// 4. That exact sum is split into an integer n2 and h = hh + hl in [-1/2, 1/2], hh a multiple of
//    2^-24. 2^h = 1 + h ln 2 + h^2 Q(h), Q a polynomial of degree 10 within 2^-56 of
//    (2^h - 1 - h ln 2) / h^2 (so within 2^-58 after h^2 <= 1/4). With ln 2 = L + l (L of 28 bits),
//    1 + L hh is exact; everything else is below 0.08 and is added to it in the last, rounding
//    step. The error before that step stays below about a quarter of a unit in the last place, so
//    the result is within one.
//
// 5. The result is scaled by 2^(n1 + n2) in two halves, so an underflow rounds only once into the
//    subnormals.
//
// NaNs and negative numbers are picked out at the end by integer masks rather than branches.
namespace force_power {

namespace k = power_constants;
inline constexpr uint64_t SignBit = 0x8000000000000000;
// x + Round - Round rounds x to a multiple of 2^(e - 52) for a Round of 1.5 x 2^e.
inline constexpr double ToInteger = 0x1.8p52;
inline constexpr double To2m39 = 0x1.8p13;

// Every number the steps below use: built into the code, but read from memory once a row by the
// page's row loop (InMemory).
struct Constants {
  // Step 1. Adding the bits of 1 minus those of sqrt(1/2) carries into the exponent field just
  // when the significand is at least sqrt(2).
  uint64_t Magnitude = ~SignBit;
  double Tiny = 0x1p-470;
  double Huge = 0x1p446;
  uint64_t Centring = 0x3FF0000000000000 - 0x3FE6A09E667F3BCD;
  uint64_t Bias = 1023;
  uint64_t IntegerBits = 0x4330000000000000;
  double IntegerBias = 0x1p52 + 1023;
  double One = 1;
  double Two = 2;
  // Steps 2 and 3.
  double To2m28 = 0x1.8p24;
  double Y1 = (force_law::Exponent + To2m39) - To2m39;
  double Y2 = force_law::Exponent - Y1;
  double AtanhHigh = k::AtanhHigh;
  double AtanhLow = k::AtanhLow;
  double Atanh = AtanhHigh + AtanhLow;
  double AtanhSeries[7] = {k::AtanhSeries[0], k::AtanhSeries[1], k::AtanhSeries[2],
                           k::AtanhSeries[3], k::AtanhSeries[4], k::AtanhSeries[5],
                           k::AtanhSeries[6]};
  double ToInteger = force_power::ToInteger;
  // Step 4.
  double To2m24 = 0x1.8p28;
  double Ln2High = k::Ln2High;
  double Ln2Low = k::Ln2Low;
  double Exp2Series[11] = {k::Exp2Series[0], k::Exp2Series[1], k::Exp2Series[2], k::Exp2Series[3],
                           k::Exp2Series[4], k::Exp2Series[5], k::Exp2Series[6], k::Exp2Series[7],
                           k::Exp2Series[8], k::Exp2Series[9], k::Exp2Series[10]};
  // Step 5 and the special values.
  double Half = 0.5;
  double ToExponent = ToInteger + 1023;
  uint64_t QuietBit = 0x0008000000000000;
  uint64_t DefaultNaN = 0xFFF8000000000000;
  int64_t LowestNegative = static_cast<int64_t>(0xFFEFFFFFFFFFFFFF);  // -DBL_MAX
};
inline constexpr Constants Values;

// base^y as 2^(n + big + small): n an integer, big exact and below 2 in size, small below 0.012.
struct Exponent2 {
  double N;
  double Big;
  double Small;
};

// |base| = 2^e (1 + u), and 1 / (2 + u).
struct Reduced {
  double U;
  double Inverse;
  double E;
};

// Whether base is a number within [Tiny, Huge]: nothing to clamp and no special value, so its power
// may skip both with the same result.
[[gnu::always_inline]] inline bool IsOrdinary(double base, const Constants& c = Values) {
  return (base >= c.Tiny) & (base <= c.Huge);
}

// Step 1 and the division of step 3. With Ordinary, base must be ordinary and is not clamped.
template <bool Ordinary = false>
[[gnu::always_inline]] inline Reduced Reduce(double base, const Constants& c = Values) {
  // 1. The biased exponent of |base| / sqrt(1/2), and m. Clamped by comparing doubles, since
  // WebAssembly has no vector comparison of unsigned 64-bit integers (what a compiler makes of
  // the bits of a number known to be positive), and through masks, since a pair of selects keeps
  // GCC from vectorising the loop.
  uint64_t clamped = BitCast<uint64_t>(base);
  if constexpr (!Ordinary) {
    const uint64_t magnitudeBits = BitCast<uint64_t>(base) & c.Magnitude;
    const double magnitude = BitCast<double>(magnitudeBits);
    const uint64_t tooSmall = 0 - static_cast<uint64_t>(magnitude < c.Tiny);
    const uint64_t tooLarge = 0 - static_cast<uint64_t>(magnitude > c.Huge);
    clamped = (magnitudeBits & ~(tooSmall | tooLarge)) | (BitCast<uint64_t>(c.Tiny) & tooSmall) |
              (BitCast<uint64_t>(c.Huge) & tooLarge);
  }
  const uint64_t field = (clamped + c.Centring) >> 52U;
  const double m = BitCast<double>(clamped - ((field - c.Bias) << 52U));
  const double u = m - c.One;
  return {.U = u,
          .Inverse = c.One / (u + c.Two),
          .E = BitCast<double>(field | c.IntegerBits) - c.IntegerBias};
}

// Steps 2 and 3.
[[gnu::always_inline]] inline Exponent2 Log2Part(Reduced r, const Constants& c = Values) {
  const double u = r.U;
  const double inverse = r.Inverse;
  const double e = r.E;

  // 3. s = u / (2 + u) as sh + sl.
  const double quotient = u * inverse;
  const double sh = (quotient + c.To2m28) - c.To2m28;
  const double uh = (u + c.To2m28) - c.To2m28;
  const double ul = u - uh;
  const double remainder = ((u - c.Two * sh) - sh * uh) - sh * ul;
  const double sl = remainder * inverse;

  // The cubic and higher terms need s only to about 2^-50, so they start from the plain quotient,
  // and the polynomial is evaluated by Estrin's scheme, whose terms wait on few others.
  const double t = quotient * quotient;
  const double t2 = t * t;
  const double* a = c.AtanhSeries;
  const double series =
      ((a[0] + a[1] * t) + (a[2] + a[3] * t) * t2) + ((a[4] + a[5] * t) + a[6] * t2) * (t2 * t2);

  // 2. and the exact sum of step 3.
  const double ye = c.Y1 * e;
  const double n1 = (ye + c.ToInteger) - c.ToInteger;
  return {.N = n1,
          .Big = (ye - n1) + c.AtanhHigh * sh,
          .Small = (c.Y2 * e + c.AtanhLow * sh) + c.Atanh * (sl + quotient * t * series)};
}

// base^y as power x 2^n, power in [sqrt(1/2), sqrt(2)] and n an integer.
struct Scaled {
  double Power;
  double N;
};

// 2^(n + h) with h = hh + hl, hh a multiple of 2^-24.
struct Split {
  double N;
  double Hh;
  double Hl;
};

// The split of step 4.
[[gnu::always_inline]] inline Split SplitExponent(Exponent2 w, const Constants& c = Values) {
  const double n2 = (w.Big + c.ToInteger) - c.ToInteger;
  const double hFull = w.Big - n2;
  const double hh = (hFull + c.To2m24) - c.To2m24;
  return {.N = w.N + n2, .Hh = hh, .Hl = (hFull - hh) + w.Small};
}

// The rest of step 4: 2^h, its polynomial by Estrin's scheme too.
[[gnu::always_inline]] inline Scaled Exp2Part(Split x, const Constants& c = Values) {
  const double hh = x.Hh;
  const double hl = x.Hl;
  const double h = hh + hl;
  const double h2 = h * h;
  const double h4 = h2 * h2;
  const double* q = c.Exp2Series;
  const double exp2 = (((q[0] + q[1] * h) + (q[2] + q[3] * h) * h2) +
                       ((q[4] + q[5] * h) + (q[6] + q[7] * h) * h2) * h4) +
                      ((q[8] + q[9] * h) + q[10] * h2) * (h4 * h4);
  const double leading = c.One + c.Ln2High * hh;
  return {.Power = leading + ((c.Ln2High * hl + c.Ln2Low * h) + h2 * exp2), .N = x.N};
}

// Step 5 and the special values, which with Ordinary base is not.
template <bool Ordinary = false>
[[gnu::always_inline]] inline double Finish(double base, Scaled p, const Constants& c = Values) {
  // 5. 2^(n1 + n2) as 2^a x 2^b, each built in the exponent field.
  const double n = p.N;
  const double a = (n * c.Half + c.ToInteger) - c.ToInteger;
  const double b = n - a;
  const double scaleA = BitCast<double>(BitCast<uint64_t>(a + c.ToExponent) << 52U);
  const double scaleB = BitCast<double>(BitCast<uint64_t>(b + c.ToExponent) << 52U);
  const auto result = BitCast<uint64_t>(p.Power * scaleA * scaleB);
  if constexpr (Ordinary) {
    return BitCast<double>(result);
  }

  // A NaN comes back quiet, with its sign and payload; a negative number other than -0 and -inf
  // gives the default NaN (bits - 1 wraps -0 to the largest positive integer).
  const auto bits = BitCast<uint64_t>(base);
  const uint64_t nan = 0 - static_cast<uint64_t>(base != base);
  const uint64_t negative =
      0 - static_cast<uint64_t>(static_cast<int64_t>(bits - 1) < c.LowestNegative);
  const uint64_t special = nan | negative;
  const uint64_t replacement = ((bits | c.QuietBit) & nan) | (c.DefaultNaN & ~nan);
  return BitCast<double>((result & ~special) | (replacement & special));
}

// The row's powers in five loops rather than one: each power is a long chain of dependent steps,
// and a loop over a part of the chain lets the processor work on more bases at once.
template <bool Ordinary>
[[gnu::always_inline]] inline void PowerSteps(const BodyDoubles& bases, BodyDoubles& powers,
                                              const Constants& c) {
  BodyDoubles u;
  BodyDoubles inverse;
  BodyDoubles e;
  for (size_t i = 0; i < bases.size(); ++i) {
    const Reduced r = Reduce<Ordinary>(bases[i], c);
    u[i] = r.U;
    inverse[i] = r.Inverse;
    e[i] = r.E;
  }
  BodyDoubles n;
  BodyDoubles big;
  BodyDoubles small;
  for (size_t i = 0; i < bases.size(); ++i) {
    const Exponent2 w = Log2Part({.U = u[i], .Inverse = inverse[i], .E = e[i]}, c);
    n[i] = w.N;
    big[i] = w.Big;
    small[i] = w.Small;
  }
  BodyDoubles hh;
  BodyDoubles hl;
  for (size_t i = 0; i < bases.size(); ++i) {
    const Split x = SplitExponent({.N = n[i], .Big = big[i], .Small = small[i]}, c);
    n[i] = x.N;
    hh[i] = x.Hh;
    hl[i] = x.Hl;
  }
  BodyDoubles unscaled;
  BodyDoubles scale;
  for (size_t i = 0; i < bases.size(); ++i) {
    const Scaled p = Exp2Part({.N = n[i], .Hh = hh[i], .Hl = hl[i]}, c);
    unscaled[i] = p.Power;
    scale[i] = p.N;
  }
  for (size_t i = 0; i < bases.size(); ++i) {
    powers[i] = Finish<Ordinary>(bases[i], {.Power = unscaled[i], .N = scale[i]}, c);
  }
}

// The row's powers. A row of ordinary bases (every row of a universe whose positions are numbers)
// skips the clamps and the special values: a sixth of the force law's time in the page, whose
// vector instructions compare and mask 64-bit integers slowly. Always inlined, so that each build
// of its callers (and each clone) gets its own vector code.
[[gnu::always_inline]] inline void PowersOfRow(const BodyDoubles& bases, BodyDoubles& powers) {
#ifdef __EMSCRIPTEN__
  const Constants c = InMemory(Values);
#else
  // Elsewhere the constants stay in the code, which every compiler turns into vector code.
  const Constants& c = Values;
#endif
  uint64_t others = 0;
  for (const double base : bases) {
    others |= static_cast<uint64_t>(!IsOrdinary(base, c));
  }
  if (others == 0) {
    PowerSteps<true>(bases, powers, c);
  } else {
    PowerSteps<false>(bases, powers, c);
  }
}

}  // namespace force_power

// base raised to the force law's exponent, within one unit in the last place of the exact power
// for every base, with the C library's special values: a NaN base gives the same NaN made quiet, a
// negative base x86-64's default NaN, on Arm too (whose own lacks the sign bit), +0 and -0 give +0,
// +inf and -inf give +inf, and results below the smallest double underflow through the subnormals
// to +0.
//
// Only additions, subtractions, multiplications, one division and integer operations on the bits,
// each rounded as IEEE 754 says and nothing fused, so every processor and the browser get the same
// bits. There are no branches and no tables, so the compiler turns a loop of calls into vector
// code.
inline double ForcePower(double base) {
  using namespace force_power;
  return Finish(base, Exp2Part(SplitExponent(Log2Part(Reduce(base)))));
}

// Every base raised to the force law's exponent, each exactly as ForcePower gives it. powers may be
// bases itself.
void ForcePowers(const BodyDoubles& bases, BodyDoubles& powers);
