/*
 * The few helpers of musl's internal libm.h that pow.c and its tables use, for building them
 * outside musl.
 */
#ifndef GRAVITY_ARM_POW_LIBM_H
#define GRAVITY_ARM_POW_LIBM_H

#include <stdint.h>

#define hidden
#define issignaling_inline(x) 0
#define TOINT_INTRINSICS 0
#define WANT_ROUNDING 1
#define predict_false(x) __builtin_expect(x, 0)

#define asuint64(f) ((union{double _f; uint64_t _i;}){f})._i
#define asdouble(i) ((union{uint64_t _i; double _f;}){i})._f

/* Every double is evaluated in double precision on x86-64 (FLT_EVAL_METHOD 0). */
static inline double eval_as_double(double x) { return x; }

/* Returns its input, but keeps the compiler from folding or moving the operation around it. */
static inline double fp_barrier(double x)
{
	volatile double y = x;
	return y;
}

static inline void fp_force_eval(double x)
{
	volatile double y;
	y = x;
	(void)y;
}

static inline double __math_xflow(uint32_t sign, double y)
{
	return eval_as_double(fp_barrier(sign ? -y : y) * y);
}
static inline double __math_oflow(uint32_t sign) { return __math_xflow(sign, 0x1p769); }
static inline double __math_uflow(uint32_t sign) { return __math_xflow(sign, 0x1p-767); }
static inline double __math_invalid(double x) { return (x - x) / (x - x); }

#endif
