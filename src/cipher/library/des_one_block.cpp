#include "cipher/library/des_one_block.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "cipher/library/des_tables.h"

namespace ovalith::des {
namespace {

using namespace tables;

// A fixed bit permutation as one masked shift per distinct distance.
struct BitMoves {
  std::uint64_t mask[64] = {};
  int shift[64] = {};
  int count = 0;
};

// source[i]: the bit of the input that becomes bit i of the output.
constexpr BitMoves Group(const int* source, int bits) {
  BitMoves moves;
  for (int i = 0; i < bits; ++i) {
    const int distance = i - source[i];
    int k = 0;
    while (k < moves.count && moves.shift[k] != distance) ++k;
    if (k == moves.count) moves.shift[moves.count++] = distance;
    moves.mask[k] |= 1ull << source[i];
  }
  return moves;
}

inline __attribute__((always_inline)) std::uint64_t Apply(const BitMoves& moves,
                                                          std::uint64_t x) {
  std::uint64_t result = 0;
#pragma GCC unroll 64
  for (int k = 0; k < moves.count; ++k) {
    const std::uint64_t bits = x & moves.mask[k];
    result |=
        moves.shift[k] >= 0 ? bits << moves.shift[k] : bits >> -moves.shift[k];
  }
  return result;
}

// Words numbered from bit 0 up as DES numbers from 1: L in bits 0..31 and
// R in 32..63 of the loaded block after the initial permutation.
constexpr BitMoves MakeInitial() {
  int source[64] = {};
  for (int i = 0; i < 64; ++i) source[i] = LoadBit(kInitialPermutation[i]);
  return Group(source, 64);
}

// R16 in bits 0..31 and L16 in 32..63, through the final permutation (the
// inverse of the initial one) into the little-endian block.
constexpr BitMoves MakeFinal() {
  int source[64] = {};
  for (int i = 0; i < 64; ++i) source[LoadBit(kInitialPermutation[i])] = i;
  return Group(source, 64);
}

constexpr BitMoves MakePermutation() {
  int source[32] = {};
  for (int i = 0; i < 32; ++i) source[i] = kPermutation[i] - 1;
  return Group(source, 32);
}

struct Leaves {
  // leaf[j], bit 4s + q: output bit q of S-box s for the input whose bit m
  // (m = 0 the first) is bit m of j.
  std::uint32_t leaf[64] = {};
};

constexpr Leaves MakeLeaves() {
  Leaves leaves;
  for (int j = 0; j < 64; ++j) {
    const int row = 2 * (j & 1) + ((j >> 5) & 1);
    const int column = 8 * ((j >> 1) & 1) + 4 * ((j >> 2) & 1) +
                       2 * ((j >> 3) & 1) + ((j >> 4) & 1);
    for (int s = 0; s < 8; ++s)
      for (int q = 0; q < 4; ++q)
        if ((kSBoxes[s][16 * row + column] >> (3 - q)) & 1)
          leaves.leaf[j] |= 1u << (4 * s + q);
  }
  return leaves;
}

constexpr BitMoves kInitial = MakeInitial();
constexpr BitMoves kFinal = MakeFinal();
constexpr BitMoves kP = MakePermutation();
constexpr Leaves kLeaves = MakeLeaves();

std::uint32_t F(std::uint32_t r, const std::uint32_t* key) {
  // Selector m: bit m of every S-box's input, in all four of its bits.  Input
  // bit m of S-box s is bit 4s + m - 1 of R (mod 32).
  std::uint32_t x[6];
#pragma GCC unroll 6
  for (int m = 0; m < 6; ++m)
    x[m] = ((std::rotr(r, m - 1) & 0x11111111u) * 15u) ^ key[m];
  std::uint32_t node[32];
#pragma GCC unroll 32
  for (int j = 0; j < 32; ++j)
    node[j] =
        kLeaves.leaf[j] ^ ((kLeaves.leaf[j] ^ kLeaves.leaf[j + 32]) & x[5]);
#pragma GCC unroll 5
  for (int m = 4, half = 16; m >= 0; --m, half /= 2)
#pragma GCC unroll 16
    for (int j = 0; j < half; ++j) node[j] ^= (node[j] ^ node[j + half]) & x[m];
  return static_cast<std::uint32_t>(Apply(kP, node[0]));
}

}  // namespace

void CryptOneBlock(const unsigned char* in, unsigned char* out,
                   const RoundKeys& keys, bool decrypt) {
  std::uint64_t block;
  std::memcpy(&block, in, sizeof block);
  const std::uint64_t lr = Apply(kInitial, block);
  auto l = static_cast<std::uint32_t>(lr);
  auto r = static_cast<std::uint32_t>(lr >> 32);
  for (int round = 0; round < 16; ++round) {
    const std::uint32_t next =
        l ^ F(r, keys.words[decrypt ? 15 - round : round]);
    l = r;
    r = next;
  }
  block = Apply(kFinal, r | (std::uint64_t{l} << 32));
  std::memcpy(out, &block, sizeof block);
}

}  // namespace ovalith::des
