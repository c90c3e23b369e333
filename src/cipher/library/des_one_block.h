// des_one_block.h: DES of a single block in constant time, without the
// 64-fold waste of a bitsliced pass.  The eight S-boxes of a round run side
// by side in one 32-bit word (bits 4s .. 4s+3 are S-box s) as a tree of
// multiplexers whose leaves are the S-box tables and whose selectors are the
// round's input bits; the permutations are fixed shifts and masks.
#pragma once

#include "cipher/library/des_key_schedule.h"

namespace ovalith::des {

// in and out may be the same 8 bytes.
void CryptOneBlock(const unsigned char* in, unsigned char* out,
                   const RoundKeys& keys, bool decrypt);

}  // namespace ovalith::des
