// A cipher library with only the two single-block entry points, DES by
// OpenSSL: stands in for ours to show that any library with those entry
// points works, and that the program's fallback without the bulk entry
// points gives the same containers.  Also built without decrypt, as a
// library that lacks an entry point, and as a library that fails.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include <cstring>

#include "cipher/cipher_abi.h"

namespace {

void Des(const unsigned char* in, unsigned char* out, const unsigned char* key,
         int enc) {
#ifdef OVALITH_FAILING
  // What our library writes when libgcrypt fails.
  (void)in, (void)key, (void)enc;
  std::memset(out, 0, 8);
  return;
#endif
  DES_cblock k, block, result;
  std::memcpy(k, key, 8);
  std::memcpy(block, in, 8);
  DES_key_schedule schedule;
  DES_set_key_unchecked(&k, &schedule);
  DES_ecb_encrypt(&block, &result, &schedule, enc);
  std::memcpy(out, result, 8);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void encrypt(
    const unsigned char* in, unsigned char* out, const unsigned char* key) {
  Des(in, out, key, DES_ENCRYPT);
}

#ifndef OVALITH_ENCRYPT_ONLY
extern "C" __attribute__((visibility("default"))) void decrypt(
    const unsigned char* in, unsigned char* out, const unsigned char* key) {
  Des(in, out, key, DES_DECRYPT);
}
#endif
