// The exported entry points: DES (through libgcrypt) on one block or on a
// whole buffer of blocks, the latter split across two cores when large.
#include "cipher/library/ovalith_des.h"

#include <cstring>
#include <type_traits>

#include "cipher/library/block_worker.h"
#include "cipher/library/des_context.h"

static_assert(std::is_same_v<decltype(&encrypt), ovalith_block_fn>);
static_assert(std::is_same_v<decltype(&decrypt), ovalith_block_fn>);
static_assert(std::is_same_v<decltype(&encrypt_blocks), ovalith_blocks_fn>);
static_assert(std::is_same_v<decltype(&decrypt_blocks), ovalith_blocks_fn>);

namespace {

using ovalith::des::Batch;
using ovalith::des::BlockWorker;
using ovalith::des::CryptBlocks;
using ovalith::des::Direction;
using ovalith::des::kBlockSize;
using ovalith::des::kKeySize;
using ovalith::des::kMinSplitBlocks;

// The entry points cannot report an error, and a library must not end the
// process.  libgcrypt fails, if ever, only when it cannot start or has no
// memory for a cipher handle.  A call any of whose blocks failed then puts
// out zero bytes throughout: never the plain text, never what the buffer held
// before, and the same every time, so a caller that checks one known answer
// finds the library unusable rather than writing data no one can decrypt.
void Fail(unsigned char* out, std::size_t count) noexcept {
  std::memset(out, 0, count * kBlockSize);
}

void Transform(Direction direction, const unsigned char* in, unsigned char* out,
               const unsigned char* key, std::size_t count) noexcept {
  // The key may lie in the buffer being overwritten.
  unsigned char key_copy[kKeySize];
  std::memcpy(key_copy, key, kKeySize);
  const Batch batch{.direction = direction,
                    .in = in,
                    .out = out,
                    .key = key_copy,
                    .count = count};
  BlockWorker* worker = count >= kMinSplitBlocks ? BlockWorker::Get() : nullptr;
  const bool ok = worker != nullptr
                      ? worker->Share(batch)
                      : CryptBlocks(direction, in, out, key_copy, count);
  if (!ok) Fail(out, count);
}

}  // namespace

extern "C" {

void OVALITH_CALL encrypt(const unsigned char* in, unsigned char* out,
                          const unsigned char* key) {
  Transform(Direction::kEncrypt, in, out, key, 1);
}

void OVALITH_CALL decrypt(const unsigned char* in, unsigned char* out,
                          const unsigned char* key) {
  Transform(Direction::kDecrypt, in, out, key, 1);
}

void OVALITH_CALL encrypt_blocks(const unsigned char* in, unsigned char* out,
                                 const unsigned char* key, size_t count) {
  Transform(Direction::kEncrypt, in, out, key, count);
}

void OVALITH_CALL decrypt_blocks(const unsigned char* in, unsigned char* out,
                                 const unsigned char* key, size_t count) {
  Transform(Direction::kDecrypt, in, out, key, count);
}

}  // extern "C"
