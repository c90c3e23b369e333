// des_bitslice.h: DES as boolean circuits over words of W, one block per bit
// of a 64-bit lane: each path's translation unit instantiates it for its own
// word (uint64_t, or a GCC vector of 2, 4 or 8 such lanes) with its own
// target flags.  Everything here has internal linkage on purpose: an inline
// function shared between translation units could be kept from the AVX-512
// one and then run on a processor without AVX-512.
//
// Layout: slice p of the state holds bit p of the little-endian load of
// every block.  The initial permutation is only a naming of slices (L bits
// are the even slices, R bits the odd ones), the final one a swap of
// neighbouring slices folded into the output transpose.  No branch and no
// memory address depends on the key or the data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cipher/library/des_sboxes.h"
#if defined(__i386__) || defined(__x86_64__)
#include "cipher/library/des_sboxes_ternary.h"
#endif
#include "cipher/library/des_tables.h"

namespace ovalith::des {
namespace {

struct SliceIndex {
  int in[2][48];   // S-box inputs of a half round reading L (0) or R (1)
  int out[2][32];  // S-box outputs, XORed into R (0) or L (1)
};

constexpr SliceIndex MakeSliceIndex() {
  using namespace tables;
  SliceIndex index{};
  for (int half = 0; half < 2; ++half) {
    for (int j = 0; j < 48; ++j)
      index.in[half][j] =
          LoadBit(kInitialPermutation[32 * half + kExpansion[j] - 1]);
    for (int i = 0; i < 32; ++i) {
      // Output bit kPermutation[i] of the S-boxes becomes bit i + 1 of f.
      index.out[half][kPermutation[i] - 1] =
          LoadBit(kInitialPermutation[32 * (1 - half) + i]);
    }
  }
  return index;
}

inline constexpr SliceIndex kSlice = MakeSliceIndex();

template <class W>
inline W Broadcast(std::uint64_t value) {
  if constexpr (sizeof(W) == 8) {
    return value;
  } else {
    W word = {};
    return word + value;
  }
}

// One step of the 64x64 bit transpose inside each 64-bit lane: swaps the
// high D bits of a's 2D-bit groups with the low D bits of b's.
template <int D, class W>
inline __attribute__((always_inline)) void Swap(W& a, W& b) {
  constexpr std::uint64_t kLow = D == 32   ? 0x00000000FFFFFFFFull
                                 : D == 16 ? 0x0000FFFF0000FFFFull
                                 : D == 8  ? 0x00FF00FF00FF00FFull
                                 : D == 4  ? 0x0F0F0F0F0F0F0F0Full
                                 : D == 2  ? 0x3333333333333333ull
                                           : 0x5555555555555555ull;
  const W t = ((a >> D) ^ b) & Broadcast<W>(kLow);
  b ^= t;
  a ^= t << D;
}

template <int D, class W>
inline __attribute__((always_inline)) void Stage(W* a) {
#pragma GCC unroll 32
  for (int i = 0; i < 64; ++i)
    if ((i & D) == 0) Swap<D>(a[i], a[i + D]);
}

template <class W>
inline W Load(const unsigned char* p) {
  W word;
  __builtin_memcpy(&word, p, sizeof(W));
  return word;
}

template <class W>
inline void Store(unsigned char* p, W word) {
  __builtin_memcpy(p, &word, sizeof(W));
}

// 64 words of 64 * lanes blocks: word j holds blocks j * lanes .. + lanes-1.
template <class W>
inline void TransposeIn(const unsigned char* in, W* s) {
#pragma GCC unroll 32
  for (int i = 0; i < 32; ++i) {
    W a = Load<W>(in + i * sizeof(W));
    W b = Load<W>(in + (i + 32) * sizeof(W));
    Swap<32>(a, b);
    s[i] = a;
    s[i + 32] = b;
  }
  Stage<16>(s);
  Stage<8>(s);
  Stage<4>(s);
  Stage<2>(s);
  Stage<1>(s);
}

// The final permutation undoes the initial one but for the swap of L and R
// after the last round: slice p leaves as slice p ^ 1.
template <class W>
inline void TransposeOut(const W* s, unsigned char* out) {
  W t[64];
#pragma GCC unroll 32
  for (int i = 0; i < 32; ++i) {
    W a = s[i ^ 1];
    W b = s[(i + 32) ^ 1];
    Swap<32>(a, b);
    t[i] = a;
    t[i + 32] = b;
  }
  Stage<16>(t);
  Stage<8>(t);
  Stage<4>(t);
  Stage<2>(t);
#pragma GCC unroll 32
  for (int i = 0; i < 64; i += 2) {
    Swap<1>(t[i], t[i + 1]);
    Store(out + i * sizeof(W), t[i]);
    Store(out + (i + 1) * sizeof(W), t[i + 1]);
  }
}

// f of the half Half (0: L, 1: R) XORed into the other half.
template <int Half, class W>
inline __attribute__((always_inline)) void HalfRound(W* s,
                                                     const std::uint64_t* k) {
  constexpr const int* in = kSlice.in[Half];
  constexpr const int* out = kSlice.out[Half];
#define OVALITH_SBOX(n, SBOX)                                        \
  SBOX##n(s[in[6 * (n - 1)]] ^ Broadcast<W>(k[6 * (n - 1)]),         \
          s[in[6 * (n - 1) + 1]] ^ Broadcast<W>(k[6 * (n - 1) + 1]), \
          s[in[6 * (n - 1) + 2]] ^ Broadcast<W>(k[6 * (n - 1) + 2]), \
          s[in[6 * (n - 1) + 3]] ^ Broadcast<W>(k[6 * (n - 1) + 3]), \
          s[in[6 * (n - 1) + 4]] ^ Broadcast<W>(k[6 * (n - 1) + 4]), \
          s[in[6 * (n - 1) + 5]] ^ Broadcast<W>(k[6 * (n - 1) + 5]), \
          s[out[4 * (n - 1)]], s[out[4 * (n - 1) + 1]],              \
          s[out[4 * (n - 1) + 2]], s[out[4 * (n - 1) + 3]])
  // AVX-512 words take the circuits as three-input functions.
  if constexpr (sizeof(W) == 64) {
    OVALITH_SBOX(1, T);
    OVALITH_SBOX(2, T);
    OVALITH_SBOX(3, T);
    OVALITH_SBOX(4, T);
    OVALITH_SBOX(5, T);
    OVALITH_SBOX(6, T);
    OVALITH_SBOX(7, T);
    OVALITH_SBOX(8, T);
  } else {
    OVALITH_SBOX(1, S);
    OVALITH_SBOX(2, S);
    OVALITH_SBOX(3, S);
    OVALITH_SBOX(4, S);
    OVALITH_SBOX(5, S);
    OVALITH_SBOX(6, S);
    OVALITH_SBOX(7, S);
    OVALITH_SBOX(8, S);
  }
#undef OVALITH_SBOX
}

// Sixteen rounds, two per iteration so that L and R never trade places.
template <class W>
__attribute__((noinline)) void Rounds(W* s, const std::uint64_t* masks,
                                      bool decrypt) {
  // Decryption is encryption with the round keys in reverse order.
  const std::uint64_t* k = masks + (decrypt ? 15 * 48 : 0);
  const std::ptrdiff_t step = decrypt ? -48 : 48;
  for (int r = 0; r < 16; r += 2) {
    HalfRound<1>(s, k);
    HalfRound<0>(s, k + step);
    k += 2 * step;
  }
}

// count blocks of in to out (the same buffer, or one not overlapping it).
template <class W>
void CryptBlocks(const unsigned char* in, unsigned char* out, std::size_t count,
                 const std::uint64_t* masks, bool decrypt) {
  constexpr std::size_t kPassBytes = 64 * sizeof(W);
  constexpr std::size_t kPassBlocks = kPassBytes / 8;
  W s[64];
  for (; count >= kPassBlocks; count -= kPassBlocks) {
    TransposeIn(in, s);
    Rounds(s, masks, decrypt);
    TransposeOut(s, out);
    in += kPassBytes;
    out += kPassBytes;
  }
  if (count > 0) {
    unsigned char tail[kPassBytes] = {};
    __builtin_memcpy(tail, in, count * 8);
    TransposeIn(tail, s);
    Rounds(s, masks, decrypt);
    TransposeOut(s, tail);
    __builtin_memcpy(out, tail, count * 8);
  }
}

}  // namespace
}  // namespace ovalith::des
