#include "cipher/library/des_key_schedule.h"

#include "cipher/library/des_tables.h"

namespace ovalith::des {

void MakeRoundKeys(const unsigned char key[8], RoundKeys& keys) {
  using namespace tables;
  // C and D halves, bit i of each is DES key bit kPermutedChoice1[...].
  unsigned char cd[56];
  for (int i = 0; i < 56; ++i) {
    const int n = kPermutedChoice1[i] - 1;
    cd[i] = static_cast<unsigned char>((key[n / 8] >> (7 - n % 8)) & 1);
  }
  int shift = 0;
  for (int r = 0; r < 16; ++r) {
    shift += kRotations[r];
    for (int j = 0; j < 48; ++j) {
      // Bit b of the rotated C||D: each half rotates on its own.
      const int b = kPermutedChoice2[j] - 1;
      const int half = b < 28 ? 0 : 28;
      const int source = half + (b - half + shift) % 28;
      keys.masks[48 * r + j] = 0 - static_cast<std::uint64_t>(cd[source]);
    }
    for (int m = 0; m < 6; ++m) {
      std::uint32_t word = 0;
      for (int s = 0; s < 8; ++s)
        word |= static_cast<std::uint32_t>(keys.masks[48 * r + 6 * s + m] &
                                           (0xFull << (4 * s)));
      keys.words[r][m] = word;
    }
  }
}

}  // namespace ovalith::des
