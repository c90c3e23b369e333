// A cipher library with only the two single-block entry points, DES by
// the tests' oracle: stands in for ours to show that any library with those
// entry points works, and that the program's fallback without the bulk entry
// points gives the same containers.  Also built without decrypt, as a
// library that lacks an entry point, and as a library that fails.
#include <cstring>
#include <string>

#include "cipher/cipher_abi.h"
#include "test_util.h"

namespace {

void Des(const unsigned char* in, unsigned char* out, const unsigned char* key,
         bool encrypt) {
#ifdef OVALITH_FAILING
  // What our library writes when libgcrypt fails.
  (void)in, (void)key, (void)encrypt;
  std::memset(out, 0, 8);
  return;
#endif
  std::string block(reinterpret_cast<const char*>(in), 8);
  std::string k(reinterpret_cast<const char*>(key), 8);
  std::string result = encrypt ? ovalith::test::DesEncrypt(block, k)
                               : ovalith::test::DesDecrypt(block, k);
  std::memcpy(out, result.data(), 8);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void encrypt(
    const unsigned char* in, unsigned char* out, const unsigned char* key) {
  Des(in, out, key, true);
}

#ifndef OVALITH_ENCRYPT_ONLY
extern "C" __attribute__((visibility("default"))) void decrypt(
    const unsigned char* in, unsigned char* out, const unsigned char* key) {
  Des(in, out, key, false);
}
#endif
