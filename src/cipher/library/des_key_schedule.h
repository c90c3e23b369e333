// des_key_schedule.h: the 16 DES round keys of a key as 768 masks of all ones
// or all zeros, the form the bitsliced rounds XOR into their slices, and as
// the words the single-block rounds XOR into their selectors.
#pragma once

#include <cstdint>

namespace ovalith::des {

inline constexpr int kRoundKeyMasks = 16 * 48;

struct RoundKeys {
  // masks[48 * r + 6 * s + m]: bit m of the input of S-box s in round r.
  alignas(64) std::uint64_t masks[kRoundKeyMasks];
  // words[r][m]: bits 4s .. 4s+3 all hold bit m of S-box s's input in round r.
  std::uint32_t words[16][6];
};

// Only table positions are looked up; the key's bits are only computed with,
// so making the schedule takes the same time for every key.
void MakeRoundKeys(const unsigned char key[8], RoundKeys& keys);

}  // namespace ovalith::des
