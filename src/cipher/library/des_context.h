// des_context.h: DES over buffers of 8-byte blocks through libgcrypt, on the
// calling thread, with that thread's key schedule kept for the last key.
#ifndef OVALITH_CIPHER_LIBRARY_DES_CONTEXT_H_
#define OVALITH_CIPHER_LIBRARY_DES_CONTEXT_H_

#include <cstddef>

namespace ovalith::des {

inline constexpr std::size_t kBlockSize = 8;
inline constexpr std::size_t kKeySize = 8;

enum class Direction { kEncrypt, kDecrypt };

// Makes this thread's key schedule for key, as CryptBlocks would.  False
// when libgcrypt cannot.
bool ReadyFor(const unsigned char* key) noexcept;

// Transforms count blocks of in into out (the same buffer, or one that does
// not overlap it) under key, each block on its own (ECB).  Returns false,
// having written nothing, when libgcrypt cannot do it.
bool CryptBlocks(Direction direction, const unsigned char* in,
                 unsigned char* out, const unsigned char* key,
                 std::size_t count) noexcept;

}  // namespace ovalith::des

#endif  // OVALITH_CIPHER_LIBRARY_DES_CONTEXT_H_
