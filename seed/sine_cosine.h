#pragma once

// The sine and cosine of x radians, the program's own rather than the C library's: glibc, mingw's
// library and emscripten's, which the page is built with, each round some results otherwise, and a
// seeding that took them would place and launch its bodies differently on each platform.
//
// For every argument a seeding forms (a draw k / 2^24 times 360 degrees in single precision, or
// that plus 90 degrees, widened to double and multiplied by the degree in radians) both results are
// the exact sine and cosine rounded to the nearest double: bench/sine_cosine_sweep.cpp checks all
// 2^25 of them against MPFR. For any other |x| up to 2^20 (about a million) each is within one unit
// in the last place, and nearly always correctly rounded too. Beyond 2^20, and for NaN and the
// infinities, both are NaN.
//
// x is reduced by pi/2, then split into a multiple of 1/64, whose sine and cosine the compiler
// works out beforehand, and a small rest, whose series are summed in pairs of doubles: good to
// about 2^-100 before the one rounding to double. Only additions, subtractions, multiplications and
// divisions of doubles, each rounded as IEEE 754 says and nothing fused, so every processor and the
// browser get the same bits.
struct SineAndCosine {
  double Sine;
  double Cosine;
};

SineAndCosine SineCosine(double x);
