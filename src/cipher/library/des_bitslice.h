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
#include <type_traits>

#include "cipher/library/des_key_schedule.h"
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

// Bits of x where m is set, of y elsewhere: one vpternlog (AVX-512 only).
template <class W>
inline __attribute__((always_inline)) W Select(W m, W x, W y) {
  return Ternlog<0xB8>(y, m, x);
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
  if constexpr (sizeof(W) == 64) {
    // Two bit selects instead of a mask and three XORs.
    const W high = Broadcast<W>(kLow << D);
    const W low = Broadcast<W>(kLow);
    const W a_high = b << D;
    b = Select(low, a >> D, b);
    a = Select(high, a_high, a);
  } else {
    const W t = ((a >> D) ^ b) & Broadcast<W>(kLow);
    b ^= t;
    a ^= t << D;
  }
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

// The transpose is six swaps of a bit of the word index with the same bit of
// the bit index, and they commute: the three low ones are done on eight
// neighbouring words, the three high ones on eight words 8 apart, each group
// in registers, so the state is read and written twice instead of six times.
template <class W>
inline __attribute__((always_inline)) void LowStages(W* r) {
  Swap<1>(r[0], r[1]);
  Swap<1>(r[2], r[3]);
  Swap<1>(r[4], r[5]);
  Swap<1>(r[6], r[7]);
  Swap<2>(r[0], r[2]);
  Swap<2>(r[1], r[3]);
  Swap<2>(r[4], r[6]);
  Swap<2>(r[5], r[7]);
  Swap<4>(r[0], r[4]);
  Swap<4>(r[1], r[5]);
  Swap<4>(r[2], r[6]);
  Swap<4>(r[3], r[7]);
}

template <class W>
inline __attribute__((always_inline)) void HighStages(W* r) {
  Swap<8>(r[0], r[1]);
  Swap<8>(r[2], r[3]);
  Swap<8>(r[4], r[5]);
  Swap<8>(r[6], r[7]);
  Swap<16>(r[0], r[2]);
  Swap<16>(r[1], r[3]);
  Swap<16>(r[4], r[6]);
  Swap<16>(r[5], r[7]);
  Swap<32>(r[0], r[4]);
  Swap<32>(r[1], r[5]);
  Swap<32>(r[2], r[6]);
  Swap<32>(r[3], r[7]);
}

// Where TransposeOut puts the words of a pass, in order.
template <class W>
struct WordSink {
  unsigned char* out;
  inline __attribute__((always_inline)) void Put(int j, W word) {
    Store(out + j * sizeof(W), word);
  }
};

#ifdef __AVX512F__
// On AVX-512 a store across two cache lines costs about as much as two, and
// the buffers callers have (from malloc) are aligned to 16 bytes, not 64:
// where out is 4 bytes away from a line by a multiple, each line is put
// together from two neighbouring words (one vpermt2d) and stored whole,
// the first and last under a mask: 5% of a pass on a Xeon with AVX-512.
template <class W>
class LineSink {
 public:
  // out % 64 is a multiple of 4, not 0.
  explicit LineSink(unsigned char* out)
      : line_(out - reinterpret_cast<std::uintptr_t>(out) % 64),
        dwords_(
            static_cast<int>(reinterpret_cast<std::uintptr_t>(out) % 64 / 4)),
        from_(_mm512_add_epi32(_mm512_set_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7,
                                                6, 5, 4, 3, 2, 1, 0),
                               _mm512_set1_epi32(16 - dwords_))) {}

  inline __attribute__((always_inline)) void Put(int j, W word) {
    const __m512i line =
        _mm512_permutex2var_epi32((__m512i)last_, from_, (__m512i)word);
    if (j == 0) {
      _mm512_mask_store_epi32(line_, static_cast<__mmask16>(0xFFFF << dwords_),
                              line);
    } else {
      _mm512_store_si512(line_ + 64 * j, line);
    }
    last_ = word;
    if (j == 63) {
      _mm512_mask_store_epi32(
          line_ + 64 * 64, static_cast<__mmask16>((1 << dwords_) - 1),
          _mm512_permutex2var_epi32((__m512i)last_, from_, (__m512i)word));
    }
  }

 private:
  unsigned char* line_;
  int dwords_;
  __m512i from_;
  W last_ = {};
};
#endif

#if defined(__AVX512VBMI__) && defined(__GFNI__)
// With byte permutes and GF(2) affine maps (AVX-512 VBMI and GFNI).  The
// transpose moves the six bits of the word index into the bit index and the
// six of the bit index (byte b of a block, bit k of the byte) into the word
// index: three exchanges of a word-index bit with a bit of the byte index
// inside a qword bring b into the word index, vgf2p8affineqb trades bit k
// for the byte index inside each qword, and three more exchanges bring k
// into the word index.  An exchange is a vpermb under a mask per word (the
// two-source vpermt2b takes twice as long), or as before a shift and a
// select.  Blocks land in other lanes than with the shifts alone, which is
// no matter while the way out inverts the way in.

// vpermb indices taking byte i ^ 2^E of each qword.
struct ByteIndex {
  alignas(64) unsigned char at[64];
};

constexpr ByteIndex MakeByteIndex(int e) {
  ByteIndex index{};
  for (int i = 0; i < 64; ++i)
    index.at[i] = static_cast<unsigned char>(i ^ 1 << e);
  return index;
}

inline constexpr ByteIndex kByteIndex[3] = {MakeByteIndex(0), MakeByteIndex(1),
                                            MakeByteIndex(2)};

// Exchanges bit E of the word index (low: the word with it clear) with bit E
// of the byte index inside a qword.
template <int E, class W>
inline __attribute__((always_inline)) void ExchangeBytes(W& low, W& high) {
  constexpr __mmask64 kSet = E == 0   ? 0xAAAAAAAAAAAAAAAAull
                             : E == 1 ? 0xCCCCCCCCCCCCCCCCull
                                      : 0xF0F0F0F0F0F0F0F0ull;
  const __m512i from = _mm512_load_si512(kByteIndex[E].at);
  const __m512i a = (__m512i)low;
  const __m512i b = (__m512i)high;
  low = (W)_mm512_mask_permutexvar_epi8(a, kSet, from, b);
  high = (W)_mm512_mask_permutexvar_epi8(b, ~kSet, from, a);
}

// Byte permutes run on one port only (5), shifts on another (0) and the
// selects on either: two of the six exchanges as a shift and a select each
// balance the two (about 300 cycles a direction instead of 384 either way).
// Bit 1 of the first half's exchanges and bit 2 of the second half's.
inline constexpr int kShiftedFirst = 2;
inline constexpr int kShiftedSecond = 4;

template <int E, int Shifts, class W>
inline __attribute__((always_inline)) void Exchange(W& low, W& high) {
  if constexpr ((Shifts >> E & 1) != 0)
    Swap<(8 << E)>(low, high);
  else
    ExchangeBytes<E>(low, high);
}

// The three exchanges on eight words, bits 0, 1, 2 of their index m.
template <int Shifts, class W>
inline __attribute__((always_inline)) void ByteStages(W* r) {
  Exchange<0, Shifts>(r[0], r[1]);
  Exchange<0, Shifts>(r[2], r[3]);
  Exchange<0, Shifts>(r[4], r[5]);
  Exchange<0, Shifts>(r[6], r[7]);
  Exchange<1, Shifts>(r[0], r[2]);
  Exchange<1, Shifts>(r[1], r[3]);
  Exchange<1, Shifts>(r[4], r[6]);
  Exchange<1, Shifts>(r[5], r[7]);
  Exchange<2, Shifts>(r[0], r[4]);
  Exchange<2, Shifts>(r[1], r[5]);
  Exchange<2, Shifts>(r[2], r[6]);
  Exchange<2, Shifts>(r[3], r[7]);
}

// vgf2p8affineqb with the data as the matrix: byte i of each qword gets bit
// 7 - i of its bytes, the byte 7 - j in bit j.  Done twice, that is the
// identity, so the way out uses it as it is.
template <class W>
inline __attribute__((always_inline)) W GfTranspose(W w) {
  return (W)_mm512_gf2p8affine_epi64_epi8(
      _mm512_set1_epi64(0x0102040810204080ll), (__m512i)w, 0);
}

template <class W>
inline void TransposeIn(const unsigned char* in, W* s) {
  // Word 8g + t to word 8g + b (t now in the byte index), then bits to
  // bytes; stored at 8b + g so that the second half works in place.
#pragma GCC unroll 8
  for (int g = 0; g < 8; ++g) {
    W r[8];
#pragma GCC unroll 8
    for (int t = 0; t < 8; ++t) r[t] = Load<W>(in + (8 * g + t) * sizeof(W));
    ByteStages<kShiftedFirst>(r);
#pragma GCC unroll 8
    for (int b = 0; b < 8; ++b) s[8 * b + g] = GfTranspose(r[b]);
  }
  // Word 8g + b to word 8m + b, which is slice 8b + 7 - m (bit k of the
  // bytes went to byte 7 - k).
#pragma GCC unroll 8
  for (int b = 0; b < 8; ++b) {
    W r[8];
#pragma GCC unroll 8
    for (int g = 0; g < 8; ++g) r[g] = s[8 * b + g];
    ByteStages<kShiftedSecond>(r);
#pragma GCC unroll 8
    for (int m = 0; m < 8; ++m) s[8 * b + 7 - m] = r[m];
  }
}

// The final permutation undoes the initial one but for the swap of L and R
// after the last round: slice p leaves as slice p ^ 1.
template <class W, class Sink>
inline void TransposeOut(const W* s, Sink out) {
  W t[64];
#pragma GCC unroll 8
  for (int b = 0; b < 8; ++b) {
    W r[8];
#pragma GCC unroll 8
    for (int m = 0; m < 8; ++m) r[m] = s[(8 * b + 7 - m) ^ 1];
    ByteStages<kShiftedSecond>(r);
#pragma GCC unroll 8
    for (int g = 0; g < 8; ++g) t[8 * b + g] = GfTranspose(r[g]);
  }
#pragma GCC unroll 8
  for (int g = 0; g < 8; ++g) {
    W r[8];
#pragma GCC unroll 8
    for (int b = 0; b < 8; ++b) r[b] = t[8 * b + g];
    ByteStages<kShiftedFirst>(r);
#pragma GCC unroll 8
    for (int m = 0; m < 8; ++m) out.Put(8 * g + m, r[m]);
  }
}
#else
// 64 words of 64 * lanes blocks: word j holds blocks j * lanes .. + lanes-1.
template <class W>
inline void TransposeIn(const unsigned char* in, W* s) {
#pragma GCC unroll 8
  for (int g = 0; g < 64; g += 8) {
    W r[8];
    for (int m = 0; m < 8; ++m) r[m] = Load<W>(in + (g + m) * sizeof(W));
    LowStages(r);
    for (int m = 0; m < 8; ++m) s[g + m] = r[m];
  }
#pragma GCC unroll 8
  for (int j = 0; j < 8; ++j) {
    W r[8];
    for (int m = 0; m < 8; ++m) r[m] = s[j + 8 * m];
    HighStages(r);
    for (int m = 0; m < 8; ++m) s[j + 8 * m] = r[m];
  }
}

// The final permutation undoes the initial one but for the swap of L and R
// after the last round: slice p leaves as slice p ^ 1.
template <class W, class Sink>
inline void TransposeOut(const W* s, Sink out) {
  W t[64];
#pragma GCC unroll 8
  for (int j = 0; j < 8; ++j) {
    W r[8];
    for (int m = 0; m < 8; ++m) r[m] = s[(j + 8 * m) ^ 1];
    HighStages(r);
    for (int m = 0; m < 8; ++m) t[j + 8 * m] = r[m];
  }
#pragma GCC unroll 8
  for (int g = 0; g < 64; g += 8) {
    W r[8];
    for (int m = 0; m < 8; ++m) r[m] = t[g + m];
    LowStages(r);
    for (int m = 0; m < 8; ++m) out.Put(g + m, r[m]);
  }
}
#endif

// The state stays in memory between S-boxes: held in registers across the
// loop, as GCC otherwise does, it spills most of itself to the stack and
// copies every slice it touches twice.
inline __attribute__((always_inline)) void StateInMemory() {
  __asm__ volatile("" ::: "memory");
}

template <class W, class K>
inline __attribute__((always_inline)) W KeyWord(K mask) {
  if constexpr (sizeof(K) == sizeof(W))
    return mask;
  else
    return Broadcast<W>(mask);
}

// f of the half Half (0: L, 1: R) XORed into the other half.
template <int Half, class W, class K>
inline __attribute__((always_inline)) void HalfRound(W* s, const K* k) {
  constexpr const int* in = kSlice.in[Half];
  constexpr const int* out = kSlice.out[Half];
#define OVALITH_SBOX(n, SBOX)                                      \
  SBOX##n(s[in[6 * (n - 1)]] ^ KeyWord<W>(k[6 * (n - 1)]),         \
          s[in[6 * (n - 1) + 1]] ^ KeyWord<W>(k[6 * (n - 1) + 1]), \
          s[in[6 * (n - 1) + 2]] ^ KeyWord<W>(k[6 * (n - 1) + 2]), \
          s[in[6 * (n - 1) + 3]] ^ KeyWord<W>(k[6 * (n - 1) + 3]), \
          s[in[6 * (n - 1) + 4]] ^ KeyWord<W>(k[6 * (n - 1) + 4]), \
          s[in[6 * (n - 1) + 5]] ^ KeyWord<W>(k[6 * (n - 1) + 5]), \
          s[out[4 * (n - 1)]], s[out[4 * (n - 1) + 1]],            \
          s[out[4 * (n - 1) + 2]], s[out[4 * (n - 1) + 3]]);       \
  StateInMemory()
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
template <class W, class K>
__attribute__((noinline)) void Rounds(W* s, const K* masks, bool decrypt) {
  // Decryption is encryption with the round keys in reverse order.
  const K* k = masks + (decrypt ? 15 * 48 : 0);
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
  if (count == 0) return;
  constexpr std::size_t kPassBytes = 64 * sizeof(W);
  constexpr std::size_t kPassBlocks = kPassBytes / 8;
  W s[64];
  // 16-byte words have no broadcast from memory (SSE2 takes a move and a
  // shuffle per mask): their masks are widened once per call.
  using Key = std::conditional_t<sizeof(W) == 16, W, std::uint64_t>;
  const Key* keys;
  Key wide[sizeof(W) == 16 ? kRoundKeyMasks : 1];
  if constexpr (sizeof(W) == 16) {
    for (int i = 0; i < kRoundKeyMasks; ++i) wide[i] = Broadcast<W>(masks[i]);
    keys = wide;
  } else {
    keys = masks;
  }
  // The address of the buffer, not its contents, decides.
  const std::uintptr_t misaligned = reinterpret_cast<std::uintptr_t>(out) % 64;
  const bool lines = misaligned != 0 && misaligned % 4 == 0;
  (void)lines;
  for (; count >= kPassBlocks; count -= kPassBlocks) {
    TransposeIn(in, s);
    Rounds(s, keys, decrypt);
#ifdef __AVX512F__
    if constexpr (sizeof(W) == 64) {
      if (lines) {
        TransposeOut(s, LineSink<W>(out));
      } else {
        TransposeOut(s, WordSink<W>{out});
      }
    } else {
      TransposeOut(s, WordSink<W>{out});
    }
#else
    TransposeOut(s, WordSink<W>{out});
#endif
    in += kPassBytes;
    out += kPassBytes;
  }
  if (count > 0) {
    unsigned char tail[kPassBytes] = {};
    __builtin_memcpy(tail, in, count * 8);
    TransposeIn(tail, s);
    Rounds(s, keys, decrypt);
    TransposeOut(s, WordSink<W>{tail});
    __builtin_memcpy(out, tail, count * 8);
  }
}

}  // namespace
}  // namespace ovalith::des
