// key_folding.h: turns a password of any length into the 8-byte key.
#pragma once

#include <string>
#include <string_view>

#include "cipher/block_type.h"

namespace ovalith {

// Character-wise exclusive-or: as many characters as Str1.  Str2 must be at
// least as long; a shorter one is a Failure.
std::string XorS(std::string_view Str1, std::string_view Str2);

// Exclusive-or of the password's 8-byte chunks, padded with spaces, into a
// block of spaces.  password is in bytes of the 8-bit code page.
BlockType FoldKey(std::string_view password);

}  // namespace ovalith
