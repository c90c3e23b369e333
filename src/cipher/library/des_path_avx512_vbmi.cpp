// The avx512vbmi path: the avx512 one with its transposes as byte permutes
// and GF(2) affine maps, built with its own target flags (see CMakeLists.txt).
#include "cipher/library/des_bitslice.h"
#include "cipher/library/des_paths.h"

namespace ovalith::des {

void CryptAvx512Vbmi(const unsigned char* in, unsigned char* out,
                     std::size_t count, const std::uint64_t* masks,
                     bool decrypt) {
  using Word = unsigned long long __attribute__((vector_size(64)));
  CryptBlocks<Word>(in, out, count, masks, decrypt);
}

}  // namespace ovalith::des
