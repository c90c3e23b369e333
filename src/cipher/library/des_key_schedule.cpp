#include "cipher/library/des_key_schedule.h"

#include "cipher/library/des_tables.h"

namespace ovalith::des {

void MakeRoundKeys(const unsigned char key[8],
                   std::uint64_t masks[kRoundKeyMasks]) {
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
      masks[48 * r + j] = 0 - static_cast<std::uint64_t>(cd[source]);
    }
  }
}

}  // namespace ovalith::des
