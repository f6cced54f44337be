#include "seed/sine_cosine.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// A number carried as the unevaluated sum Hi + Lo, |Lo| about a unit in the last place of Hi at
// most: some 106 bits.
struct Pair {
  double Hi;
  double Lo;
};

// a + b exactly, as long as |a| >= |b| or a is 0.
constexpr Pair QuickSum(double a, double b) {
  const double sum = a + b;
  return {sum, b - (sum - a)};
}

// a + b exactly, whichever is the larger.
constexpr Pair ExactSum(double a, double b) {
  const double sum = a + b;
  const double bPart = sum - a;
  return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// a as a high part of 26 bits and a low part of the rest, so that products of parts are exact.
constexpr Pair Halves(double a) {
  constexpr double Splitter = 0x1p27 + 1;
  const double scaled = a * Splitter;
  const double high = scaled - (scaled - a);
  return {high, a - high};
}

// a x b exactly.
constexpr Pair ExactProduct(double a, double b) {
  const double product = a * b;
  const Pair x = Halves(a);
  const Pair y = Halves(b);
  return {product, ((x.Hi * y.Hi - product) + x.Hi * y.Lo + x.Lo * y.Hi) + x.Lo * y.Lo};
}

// The sum and product of pairs, good to a few units in the 106th bit of the larger operand or of
// the product. Their results are left as they come, Lo perhaps a little over half a unit of Hi,
// which costs nothing in the next step; Rounded gives the double nearest a pair. AddSmaller wants
// |a| >= |b| or a = 0.
constexpr Pair Add(Pair a, Pair b) {
  const Pair sum = ExactSum(a.Hi, b.Hi);
  return {sum.Hi, (sum.Lo + a.Lo) + b.Lo};
}

constexpr Pair AddSmaller(Pair a, Pair b) {
  const Pair sum = QuickSum(a.Hi, b.Hi);
  return {sum.Hi, (sum.Lo + a.Lo) + b.Lo};
}

constexpr Pair Multiply(Pair a, Pair b) {
  const Pair product = ExactProduct(a.Hi, b.Hi);
  return {product.Hi, product.Lo + (a.Hi * b.Lo + a.Lo * b.Hi)};
}

constexpr Pair Negated(Pair a) {
  return {-a.Hi, -a.Lo};
}

constexpr double Rounded(Pair a) {
  return a.Hi + a.Lo;
}

// a / n for a whole number n.
constexpr Pair Divide(Pair a, double n) {
  const double quotient = a.Hi / n;
  const Pair back = ExactProduct(quotient, n);
  return {quotient, (((a.Hi - back.Hi) - back.Lo) + a.Lo) / n};
}

// The Taylor series' coefficients: (-1)^(n/2) / n! for the power r^n, so the sine takes the odd
// ones and the cosine the even ones.
constexpr size_t CoefficientCount = 28;
constexpr std::array<Pair, CoefficientCount> Coefficients = [] {
  std::array<Pair, CoefficientCount> coefficients{};
  Pair inverse = {1, 0};  // 1 / n!
  for (size_t n = 0; n < coefficients.size(); ++n) {
    coefficients[n] = (n / 2) % 2 == 0 ? inverse : Negated(inverse);
    inverse = Divide(inverse, static_cast<double>(n + 1));
  }
  return coefficients;
}();

// How much of the series to sum for |r| up to some bound: the terms up to Last, so that the first
// left out is below 2^-107 of the result, those up to LastPair in pairs and the rest, which come to
// less than 2^-53 of the result, in doubles.
struct SeriesLength {
  size_t Last;
  size_t LastPair;
};
constexpr SeriesLength UpTo0_79 = {.Last = 27, .LastPair = 16};
constexpr SeriesLength UpTo2m7 = {.Last = 11, .LastPair = 5};

// The sum of Coefficients[n] t^((n - first) / 2) over n = first, first + 2, ... by Horner's rule.
constexpr Pair Series(size_t first, SeriesLength length, Pair t) {
  size_t n = length.Last - (length.Last - first) % 2;
  double rest = 0;
  for (; n > length.LastPair; n -= 2) {
    rest = Coefficients[n].Hi + t.Hi * rest;
  }
  Pair sum = {rest, 0};
  for (; n >= first; n -= 2) {
    sum = AddSmaller(Coefficients[n], Multiply(t, sum));
  }
  return sum;
}

struct PairSineCosine {
  Pair Sine;
  Pair Cosine;
};

// sin r = r + r t S(t) and cos r = 1 + t C(t), with t = r^2.
constexpr PairSineCosine SeriesSineCosine(Pair r, SeriesLength length) {
  const Pair square = ExactProduct(r.Hi, r.Hi);
  const Pair t = {square.Hi, square.Lo + 2 * r.Hi * r.Lo};
  return {.Sine = AddSmaller(r, Multiply(Multiply(r, t), Series(3, length, t))),
          .Cosine = AddSmaller({1, 0}, Multiply(t, Series(2, length, t)))};
}

// The sine and cosine of a = j / 64 for j = 0 to 50, worked out by the compiler. With them,
// sin(a + b) and cos(a + b) for |b| <= 1/128 need only a short series in b.
constexpr double Steps = 64;
constexpr std::array<PairSineCosine, 51> Table = [] {
  std::array<PairSineCosine, 51> table{};
  for (size_t j = 0; j < table.size(); ++j) {
    table[j] = SeriesSineCosine({static_cast<double>(j) / Steps, 0}, UpTo0_79);
  }
  return table;
}();

// pi/2 in four parts, the first three of at most 33 bits, so that their products with a whole
// number below 2^20 are exact; together they are within 2^-159 of pi/2.
constexpr double HalfPi1 = 0x1.921fb544p+0;
constexpr double HalfPi2 = 0x1.0b4611a6p-34;
constexpr double HalfPi3 = 0x1.3198a2ep-69;
constexpr double HalfPi4 = 0x1.b839a252049c1p-104;
constexpr double TwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double Largest = 0x1p20;
// x + Round - Round rounds x to a whole number, ties to even, for |x| below 2^51.
constexpr double ToInteger = 0x1.8p52;

}  // namespace

SineAndCosine SineCosine(double x) {
  if (!(std::fabs(x) <= Largest)) {
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    return {NaN, NaN};
  }

  // x = k pi/2 + r with k whole and |r| <= pi/4, give or take a rounding. x - k HalfPi1 is exact
  // (x and k HalfPi1 lie within a factor of 2 of each other, or k is 0), and so is each further
  // step but the last, so r keeps about 106 bits however close x comes to a multiple of pi/2.
  const double k = (x * TwoOverPi + ToInteger) - ToInteger;
  const Pair first = ExactSum(x - k * HalfPi1, -k * HalfPi2);
  const Pair second = ExactSum(first.Hi, -k * HalfPi3);
  const Pair r = QuickSum(second.Hi, (first.Lo + second.Lo) - k * HalfPi4);

  // r = a + b with a = j / 64 and |b| <= 1/128. r.Hi - a is exact: unless j is 0, both are
  // multiples of 2^-59 and they differ by 2^-7 at most.
  const double j = (r.Hi * Steps + ToInteger) - ToInteger;
  const PairSineCosine small = SeriesSineCosine({r.Hi - j / Steps, r.Lo}, UpTo2m7);
  PairSineCosine a = Table[static_cast<size_t>(std::fabs(j))];
  a.Sine = j < 0 ? Negated(a.Sine) : a.Sine;
  const double sine = Rounded(Add(Multiply(a.Sine, small.Cosine), Multiply(a.Cosine, small.Sine)));
  const double cosine =
      Rounded(Add(Multiply(a.Cosine, small.Cosine), Negated(Multiply(a.Sine, small.Sine))));

  // The quarter turns: k modulo 4, from 0 to 3 for negative k too.
  switch (static_cast<int64_t>(k) & 3) {
    case 0:
      return {sine, cosine};
    case 1:
      return {cosine, -sine};
    case 2:
      return {-sine, -cosine};
    default:
      return {-cosine, sine};
  }
}
