#include "cipher/library/des_context.h"

#include <gcrypt.h>

#include <cstring>

namespace ovalith::des {
namespace {

// libgcrypt wants one initialisation per process before any other call.  If
// some other part of the process got there first, its settings stand.
bool LibraryReady() noexcept {
  static const bool ready = [] {
    if (gcry_check_version(GCRYPT_VERSION) == nullptr) return false;
    if (gcry_control(GCRYCTL_INITIALIZATION_FINISHED_P) == 0) {
      // Our keys are 8 bytes that live in the caller's memory anyway;
      // secure memory would only add a fixed pool and warnings.
      gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
      gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    }
    return true;
  }();
  return ready;
}

// One cipher handle per thread: no locking, and the key schedule is made only
// when the key changes.
class KeyedDes {
 public:
  KeyedDes() = default;
  KeyedDes(const KeyedDes&) = delete;
  KeyedDes& operator=(const KeyedDes&) = delete;
  ~KeyedDes() {
    if (handle_ != nullptr) gcry_cipher_close(handle_);
  }

  bool UseKey(const unsigned char* key) noexcept {
    if (keyed_ && std::memcmp(key, key_, kKeySize) == 0) return true;
    if (handle_ == nullptr && !Open()) return false;
    keyed_ = false;
    // With weak keys allowed libgcrypt still answers GPG_ERR_WEAK_KEY for
    // them, but the key is set.
    const gcry_error_t error = gcry_cipher_setkey(handle_, key, kKeySize);
    if (error != 0 && gcry_err_code(error) != GPG_ERR_WEAK_KEY) return false;
    std::memcpy(key_, key, kKeySize);
    keyed_ = true;
    return true;
  }

  bool Crypt(Direction direction, const unsigned char* in, unsigned char* out,
             std::size_t bytes) noexcept {
    // libgcrypt works in place when given no input.
    const unsigned char* source = in == out ? nullptr : in;
    const std::size_t source_bytes = in == out ? 0 : bytes;
    const gcry_error_t error =
        direction == Direction::kEncrypt
            ? gcry_cipher_encrypt(handle_, out, bytes, source, source_bytes)
            : gcry_cipher_decrypt(handle_, out, bytes, source, source_bytes);
    return error == 0;
  }

 private:
  bool Open() noexcept {
    if (!LibraryReady()) return false;
    gcry_cipher_hd_t handle = nullptr;
    if (gcry_cipher_open(&handle, GCRY_CIPHER_DES, GCRY_CIPHER_MODE_ECB, 0) !=
        0) {
      return false;
    }
    // The all-zero key, which an empty password folds to, is a weak key.
    if (gcry_cipher_ctl(handle, GCRYCTL_SET_ALLOW_WEAK_KEY, nullptr, 1) != 0) {
      gcry_cipher_close(handle);
      return false;
    }
    handle_ = handle;
    return true;
  }

  gcry_cipher_hd_t handle_ = nullptr;
  unsigned char key_[kKeySize] = {};
  bool keyed_ = false;
};

// Static TLS: the library is loaded with dlopen, and dynamic TLS there is
// what LeakSanitizer (GCC 12 with glibc 2.36) trips over at exit.
#if defined(__ELF__)
__attribute__((tls_model("initial-exec")))
#endif
thread_local KeyedDes t_des;

}  // namespace

bool ReadyFor(const unsigned char* key) noexcept { return t_des.UseKey(key); }

bool CryptBlocks(Direction direction, const unsigned char* in,
                 unsigned char* out, const unsigned char* key,
                 std::size_t count) noexcept {
  if (count == 0) return true;
  return t_des.UseKey(key) &&
         t_des.Crypt(direction, in, out, count * kBlockSize);
}

}  // namespace ovalith::des
