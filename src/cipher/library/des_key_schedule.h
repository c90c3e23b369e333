// des_key_schedule.h: the 16 DES round keys of a key as 768 masks of all ones
// or all zeros, the form the bitsliced rounds XOR into their slices.
#pragma once

#include <cstdint>

namespace ovalith::des {

inline constexpr int kRoundKeyMasks = 16 * 48;

// masks[48 * r + 6 * s + m]: bit m of the input of S-box s in round r.
// Only table positions are looked up; the key's bits are only computed with,
// so making the schedule takes the same time for every key.
void MakeRoundKeys(const unsigned char key[8],
                   std::uint64_t masks[kRoundKeyMasks]);

}  // namespace ovalith::des
