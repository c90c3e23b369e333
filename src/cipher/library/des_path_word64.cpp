// The word64 path, built with its own target flags (see CMakeLists.txt).
#include "cipher/library/des_bitslice.h"
#include "cipher/library/des_paths.h"

namespace ovalith::des {

void CryptWord64(const unsigned char* in, unsigned char* out, std::size_t count,
                 const std::uint64_t* masks, bool decrypt) {
  using Word = std::uint64_t;
  CryptBlocks<Word>(in, out, count, masks, decrypt);
}

}  // namespace ovalith::des
