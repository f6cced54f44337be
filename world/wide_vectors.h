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
