#pragma once

// Marks a function whose loops are built for the processor's wider vector instructions too, the
// right build picked when the program loads. Each lane of a vector square root, division, product,
// rounding to a whole number or conversion rounds exactly like the scalar instruction, and nothing
// is fused, so every processor gets the same bits.
#if defined(__x86_64__) && defined(__linux__)
#define WIDE_VECTORS __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define WIDE_VECTORS
#endif

#if defined(_WIN32) && defined(__x86_64__)
// A Windows program's loader picks no clones. There such a function is built three times, plainly
// and for each wider set (WIDE_AVX2, WIDE_AVX512), and the program picks one build once, for the
// processor it runs on.
#define PICKS_WIDEST_BUILD 1
#define WIDE_AVX2 __attribute__((target("avx2")))
#define WIDE_AVX512 __attribute__((target("avx512f")))
template <typename Function>
Function WidestBuild(Function plain, Function avx2, Function avx512) {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f")) {
    return avx512;
  }
  return __builtin_cpu_supports("avx2") ? avx2 : plain;
}
#endif
