// A cipher library with only the two single-block entry points, DES by the
// tests' oracle: stands in for ours to show that any library with those
// entry points works, and that the program's fallback without the bulk entry
// points gives the same containers.  Also built as libraries the program
// must refuse: without decrypt, one whose decryption does not undo its
// encryption, one that changes the key, and one whose bulk calls report
// failure on all but the smallest batches.
#include <cstring>
#include <string>

#include "cipher/cipher_abi.h"
#include "test_util.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void Des(const unsigned char* in, unsigned char* out, const unsigned char* key,
         bool encrypting) {
  const std::string result = ovalith::test::DesEcb(
      std::string(reinterpret_cast<const char*>(in), 8),
      std::string(reinterpret_cast<const char*>(key), 8), encrypting);
  std::memcpy(out, result.data(), 8);
#ifdef OVALITH_NO_ROUND_TRIP
  // Gives zeros for a failure, as our library once did.
  if (!encrypting) std::memset(out, 0, 8);
#endif
}

}  // namespace

EXPORT void encrypt(const unsigned char* in, unsigned char* out,
                    const unsigned char* key) {
  Des(in, out, key, true);
#ifdef OVALITH_KEY_CHANGING
  const_cast<unsigned char*>(key)[7] ^= 0x40;
#endif
}

#ifndef OVALITH_ENCRYPT_ONLY
EXPORT void decrypt(const unsigned char* in, unsigned char* out,
                    const unsigned char* key) {
  Des(in, out, key, false);
}
#endif

#ifdef OVALITH_BULK_FAILING
namespace {

int Blocks(const unsigned char* in, unsigned char* out,
           const unsigned char* key, size_t count, bool encrypting) {
  if (count > 4) return 7;
  for (size_t i = 0; i < count; ++i)
    Des(in + 8 * i, out + 8 * i, key, encrypting);
  return OVALITH_OK;
}

}  // namespace

EXPORT int encrypt_blocks(const unsigned char* in, unsigned char* out,
                          const unsigned char* key, size_t count) {
  return Blocks(in, out, key, count, true);
}

EXPORT int decrypt_blocks(const unsigned char* in, unsigned char* out,
                          const unsigned char* key, size_t count) {
  return Blocks(in, out, key, count, false);
}
#endif
