// Prints sim/power_constants.h: the constants of ForcePower that no double expression gives to the
// last bit, worked out with MPFR at 256 bits and rounded to nearest. Run it again whenever the
// force law's exponent changes (the unit tests check that it prints the file as checked in):
//   cmake --build build/test --target power_constants_gen
//   build/test/power_constants_gen > sim/power_constants.h
//
// The two polynomials interpolate their functions at the Chebyshev nodes of their intervals, which
// comes within a small factor of the best polynomial of that degree. Their largest errors, with the
// coefficients rounded to doubles, are printed beside them.

#include <mpfr.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "sim/force_law.h"

namespace {

constexpr mpfr_prec_t Bits = 256;

struct Big {
  mpfr_t v{};
  Big() { mpfr_init2(v, Bits); }
  explicit Big(double d) : Big() { mpfr_set_d(v, d, MPFR_RNDN); }
  Big(const Big& other) : Big() { mpfr_set(v, other.v, MPFR_RNDN); }
  Big& operator=(const Big& other) {
    mpfr_set(v, other.v, MPFR_RNDN);
    return *this;
  }
  ~Big() { mpfr_clear(v); }
};

using Function = std::function<void(Big& out, const Big& x)>;

// Rounds v to a multiple of 2^-fractionBits, the part a product with few bits can hold exactly.
double RoundToMultiple(const Big& v, int fractionBits) {
  Big scaled;
  mpfr_mul_2si(scaled.v, v.v, fractionBits, MPFR_RNDN);
  mpfr_rint(scaled.v, scaled.v, MPFR_RNDN);
  return std::ldexp(mpfr_get_d(scaled.v, MPFR_RNDN), -fractionBits);
}

// Prints v as a high part of few bits and a low part holding the rest to double precision.
void PrintSplit(const char* name, const char* why, const Big& v, int fractionBits) {
  const double high = RoundToMultiple(v, fractionBits);
  Big rest;
  mpfr_sub_d(rest.v, v.v, high, MPFR_RNDN);
  std::printf("// %s\ninline constexpr double %sHigh = %a;\ninline constexpr double %sLow = %a;\n",
              why, name, high, name, mpfr_get_d(rest.v, MPFR_RNDN));
}

// The polynomial of the given degree through f at the Chebyshev nodes of [low, high], its
// coefficients from the constant term up, rounded to doubles.
std::vector<double> Interpolate(const Function& f, double low, double high, int degree) {
  const int n = degree + 1;
  std::vector<std::vector<Big>> rows(n, std::vector<Big>(n + 1));
  for (int i = 0; i < n; ++i) {
    Big x;
    mpfr_const_pi(x.v, MPFR_RNDN);
    mpfr_mul_d(x.v, x.v, (2.0 * i + 1) / (2.0 * n), MPFR_RNDN);
    mpfr_cos(x.v, x.v, MPFR_RNDN);
    mpfr_mul_d(x.v, x.v, (high - low) / 2, MPFR_RNDN);
    mpfr_add_d(x.v, x.v, (high + low) / 2, MPFR_RNDN);
    Big power(1.0);
    for (int j = 0; j < n; ++j) {
      rows[i][j] = power;
      mpfr_mul(power.v, power.v, x.v, MPFR_RNDN);
    }
    f(rows[i][n], x);
  }
  // Gaussian elimination with the largest pivot.
  for (int c = 0; c < n; ++c) {
    int pivot = c;
    for (int r = c + 1; r < n; ++r) {
      if (mpfr_cmpabs(rows[r][c].v, rows[pivot][c].v) > 0) {
        pivot = r;
      }
    }
    std::swap(rows[c], rows[pivot]);
    for (int r = 0; r < n; ++r) {
      if (r == c) {
        continue;
      }
      Big factor;
      mpfr_div(factor.v, rows[r][c].v, rows[c][c].v, MPFR_RNDN);
      for (int j = c; j <= n; ++j) {
        Big product;
        mpfr_mul(product.v, factor.v, rows[c][j].v, MPFR_RNDN);
        mpfr_sub(rows[r][j].v, rows[r][j].v, product.v, MPFR_RNDN);
      }
    }
  }
  std::vector<double> coefficients;
  for (int c = 0; c < n; ++c) {
    Big value;
    mpfr_div(value.v, rows[c][n].v, rows[c][c].v, MPFR_RNDN);
    coefficients.push_back(mpfr_get_d(value.v, MPFR_RNDN));
  }
  return coefficients;
}

// The largest difference between f and the polynomial with the rounded coefficients, over many
// points of [low, high], as a power of two.
double LargestError(const Function& f, const std::vector<double>& coefficients, double low,
                    double high) {
  double largest = 0;
  constexpr int Points = 20000;
  for (int i = 0; i <= Points; ++i) {
    const Big x(low + (high - low) * (i + 0.5) / (Points + 1));
    Big value(coefficients.back());
    for (size_t k = coefficients.size() - 1; k-- > 0;) {
      mpfr_mul(value.v, value.v, x.v, MPFR_RNDN);
      mpfr_add_d(value.v, value.v, coefficients[k], MPFR_RNDN);
    }
    Big exact;
    f(exact, x);
    mpfr_sub(value.v, value.v, exact.v, MPFR_RNDN);
    largest = std::fmax(largest, std::fabs(mpfr_get_d(value.v, MPFR_RNDN)));
  }
  return std::log2(largest);
}

void PrintPolynomial(const char* name, const char* why, const Function& f, double low, double high,
                     int degree) {
  const std::vector<double> coefficients = Interpolate(f, low, high, degree);
  std::printf("// %s\n// Largest error on [%g, %g]: 2^%.1f.\n", why, low, high,
              LargestError(f, coefficients, low, high));
  std::printf("inline constexpr double %s[] = {\n", name);
  for (const double c : coefficients) {
    std::printf("    %a,\n", c);
  }
  std::printf("};\n");
}

}  // namespace

int main() {
  // The lowest degrees whose errors, weighted by the s^3 and h^2 in front of them, stay below
  // 2^-57.
  constexpr int LogDegree = 6;
  constexpr int ExpDegree = 10;
  Big ln2;
  mpfr_const_log2(ln2.v, MPFR_RNDN);

  std::printf(
      "#pragma once\n\n// Generated by sim/power_constants_gen.cpp for the exponent %a; do not "
      "edit.\n\n",
      force_law::Exponent);
  std::printf("namespace power_constants {\n\n");

  // 2y / ln 2: the exponent times log2(m) is this times atanh(s).
  Big atanhFactor(force_law::Exponent);
  mpfr_mul_2si(atanhFactor.v, atanhFactor.v, 1, MPFR_RNDN);
  mpfr_div(atanhFactor.v, atanhFactor.v, ln2.v, MPFR_RNDN);
  PrintSplit("Atanh", "2 x exponent / ln 2, its high part a multiple of 2^-23 (26 bits).",
             atanhFactor, 23);
  PrintSplit("Ln2", "ln 2, its high part a multiple of 2^-28 (28 bits).", ln2, 28);

  // (atanh(s) / s - 1) / s^2 as a function of t = s^2, for |s| up to (sqrt 2 - 1) / (sqrt 2 + 1).
  const Function atanhSeries = [](Big& out, const Big& t) {
    Big s;
    mpfr_sqrt(s.v, t.v, MPFR_RNDN);
    mpfr_atanh(out.v, s.v, MPFR_RNDN);
    mpfr_div(out.v, out.v, s.v, MPFR_RNDN);
    mpfr_sub_ui(out.v, out.v, 1, MPFR_RNDN);
    mpfr_div(out.v, out.v, t.v, MPFR_RNDN);
  };
  PrintPolynomial("AtanhSeries", "(atanh(s) / s - 1) / s^2 in powers of s^2.", atanhSeries, 1e-30,
                  0.02945, LogDegree);

  // (2^h - 1 - h ln 2) / h^2, for |h| up to a half and the small terms added to it.
  const Function exp2Series = [&ln2](Big& out, const Big& h) {
    // Where h is this small the difference cancels beyond these bits; the limit is close enough.
    if (mpfr_cmpabs_ui(h.v, 0) > 0 && mpfr_get_exp(h.v) < -200) {
      mpfr_sqr(out.v, ln2.v, MPFR_RNDN);
      mpfr_div_2si(out.v, out.v, 1, MPFR_RNDN);
      return;
    }
    Big linear;
    mpfr_exp2(out.v, h.v, MPFR_RNDN);
    mpfr_sub_ui(out.v, out.v, 1, MPFR_RNDN);
    mpfr_mul(linear.v, h.v, ln2.v, MPFR_RNDN);
    mpfr_sub(out.v, out.v, linear.v, MPFR_RNDN);
    mpfr_div(out.v, out.v, h.v, MPFR_RNDN);
    mpfr_div(out.v, out.v, h.v, MPFR_RNDN);
  };
  PrintPolynomial("Exp2Series", "(2^h - 1 - h ln 2) / h^2 in powers of h.", exp2Series, -0.515,
                  0.515, ExpDegree);
  std::printf("\n}  // namespace power_constants\n");
  return 0;
}
