// The simd128 path: WebAssembly's 128-bit vectors, two 64-bit lanes, in a
// build with -msimd128 only (see CMakeLists.txt).
#include "cipher/library/des_bitslice.h"
#include "cipher/library/des_paths.h"

#ifdef __wasm_simd128__

namespace ovalith::des {

void CryptSimd128(const unsigned char* in, unsigned char* out,
                  std::size_t count, const std::uint64_t* masks, bool decrypt) {
  using Word = unsigned long long __attribute__((vector_size(16)));
  CryptBlocks<Word>(in, out, count, masks, decrypt);
}

}  // namespace ovalith::des

#endif
