// The exported entry points: bitsliced DES (des_paths.h) on one block or on
// a buffer of blocks, on the calling thread.
#include "cipher/library/ovalith_des.h"

#include <cstdint>
#include <type_traits>

#include "cipher/library/des_paths.h"

static_assert(std::is_same_v<decltype(&encrypt), ovalith_block_fn>);
static_assert(std::is_same_v<decltype(&decrypt), ovalith_block_fn>);
static_assert(std::is_same_v<decltype(&encrypt_blocks), ovalith_blocks_fn>);
static_assert(std::is_same_v<decltype(&decrypt_blocks), ovalith_blocks_fn>);

// A 32-bit Windows caller may hand over a stack aligned to 4 bytes only;
// the vector paths keep their state on it.
#if defined(_WIN32) && !defined(_WIN64)
#define OVALITH_ENTRY __attribute__((force_align_arg_pointer))
#else
#define OVALITH_ENTRY
#endif

namespace {

using ovalith::des::Crypt;
using ovalith::des::DefaultPath;

int Blocks(bool decrypt, const unsigned char* in, unsigned char* out,
           const unsigned char* key, size_t count) {
  if (count == 0) return OVALITH_OK;
  if (in == nullptr || out == nullptr || key == nullptr || count > SIZE_MAX / 8)
    return OVALITH_BAD_ARGUMENTS;
  // Buffers that overlap without being the same would be overwritten
  // before they are read.
  const auto first_in = reinterpret_cast<std::uintptr_t>(in);
  const auto first_out = reinterpret_cast<std::uintptr_t>(out);
  const std::uintptr_t bytes = count * 8;
  if (in != out && first_in < first_out + bytes && first_out < first_in + bytes)
    return OVALITH_BAD_ARGUMENTS;
  Crypt(DefaultPath(), decrypt, in, out, key, count);
  return OVALITH_OK;
}

}  // namespace

extern "C" {

OVALITH_ENTRY void OVALITH_CALL encrypt(const unsigned char* in,
                                        unsigned char* out,
                                        const unsigned char* key) {
  Crypt(DefaultPath(), false, in, out, key, 1);
}

OVALITH_ENTRY void OVALITH_CALL decrypt(const unsigned char* in,
                                        unsigned char* out,
                                        const unsigned char* key) {
  Crypt(DefaultPath(), true, in, out, key, 1);
}

OVALITH_ENTRY int OVALITH_CALL encrypt_blocks(const unsigned char* in,
                                              unsigned char* out,
                                              const unsigned char* key,
                                              size_t count) {
  return Blocks(false, in, out, key, count);
}

OVALITH_ENTRY int OVALITH_CALL decrypt_blocks(const unsigned char* in,
                                              unsigned char* out,
                                              const unsigned char* key,
                                              size_t count) {
  return Blocks(true, in, out, key, count);
}

}  // extern "C"
