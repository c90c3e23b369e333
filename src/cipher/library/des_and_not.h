// des_and_not.h: ~a & b for the S-box circuits' words.  Written with
// operators, GCC computes ~a once for all its uses and then ANDs, where SSE2
// and AVX2 have one instruction for the pair: their words take it as such.
#pragma once

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace ovalith::des {
namespace {  // see des_bitslice.h: each path compiles its own copy

template <class W>
inline __attribute__((always_inline)) W AndNot(W a, W b) {
#if defined(__AVX2__)
  if constexpr (sizeof(W) == 32)
    return (W)_mm256_andnot_si256((__m256i)a, (__m256i)b);
#endif
#if defined(__SSE2__)
  if constexpr (sizeof(W) == 16)
    return (W)_mm_andnot_si128((__m128i)a, (__m128i)b);
#endif
  return ~a & b;
}

}  // namespace
}  // namespace ovalith::des
