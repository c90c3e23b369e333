#include "cipher/cipher_library.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace ovalith {

namespace {

const char kLibraryName[] = "ovalith";

struct Probe {
  const char* block;
  const char* key;
};
// Fixed blocks the library must round-trip before it is used: contents a
// run meets often (zeros, text, a trailer) under the zero key an empty
// password folds to, a weak key and ordinary ones.
constexpr Probe kProbes[] = {
    {"\0\0\0\0\0\0\0\0", "\0\0\0\0\0\0\0\0"},
    {"Ov2txt  ", "abcd    "},
    {"\xff\x01\x80\x7f\x10 \xfe\x00", "\x13\x34\x57\x79\x9b\xbc\xdf\xf1"},
    {"Ov2End.8", "\xfe\xfe\xfe\xfe\xfe\xfe\xfe\xfe"},
};

BlockType FromBytes(const char* bytes) {
  BlockType block;
  std::memcpy(block.data(), bytes, BlockType::kSize);
  return block;
}

}  // namespace

// Whatever the cipher, a run depends on two of its properties: decrypting
// an encryption gives the block back, and the key is left as it was.  A
// library without them would write containers no one can restore.
void CipherLibrary::Check() {
  for (const Probe& probe : kProbes) {
    const BlockType plain = FromBytes(probe.block);
    const BlockType key = FromBytes(probe.key);
    BlockType passed = key, encrypted, decrypted;
    auto key_kept = [&] {
      if (passed != key)
        throw Failure("the cipher library changes the key it is given");
    };
    encrypt_.one(plain.data(), encrypted.data(), passed.data());
    key_kept();
    decrypt_.one(encrypted.data(), decrypted.data(), passed.data());
    key_kept();
    // The bulk entry points, where there are any, must agree.
    std::uint8_t bulk[BlockType::kSize];
    std::memcpy(bulk, plain.data(), BlockType::kSize);
    Blocks(encrypt_, bulk, 1, passed);
    key_kept();
    const bool bulk_agrees =
        std::memcmp(bulk, encrypted.data(), BlockType::kSize) == 0;
    Blocks(decrypt_, bulk, 1, passed);
    key_kept();
    if (decrypted != plain ||
        std::memcmp(bulk, plain.data(), BlockType::kSize) != 0)
      throw Failure("the cipher library does not decrypt what it encrypts");
    if (!bulk_agrees)
      throw Failure("the cipher library's bulk and single-block calls differ");
  }
}

void CipherLibrary::Load() {
  if (loaded_) return;
  void* library = system_.LoadLibrary(kLibraryName);
  auto find = [&](EntryPoints& entry_points) {
    entry_points.one = reinterpret_cast<ovalith_block_fn>(
        system_.FindEntryPoint(library, entry_points.name));
    std::string bulk = std::string(entry_points.name) + "_blocks";
    entry_points.many = reinterpret_cast<ovalith_blocks_fn>(
        system_.FindEntryPoint(library, bulk.c_str()));
  };
  find(encrypt_);
  find(decrypt_);
  for (const EntryPoints* entry_points : {&encrypt_, &decrypt_})
    if (!entry_points->one)
      throw Failure(std::string("the cipher library has no entry point \"") +
                    entry_points->name + "\"");
  Check();
  loaded_ = true;
}

void CipherLibrary::Encrypt(const BlockType& in, BlockType& out,
                            const BlockType& key) {
  Load();
  encrypt_.one(in.data(), out.data(), key.data());
}

void CipherLibrary::Decrypt(const BlockType& in, BlockType& out,
                            const BlockType& key) {
  Load();
  decrypt_.one(in.data(), out.data(), key.data());
}

void CipherLibrary::Blocks(const EntryPoints& entry_points,
                           std::uint8_t* blocks, std::size_t count,
                           const BlockType& key) {
  if (entry_points.many) {
    if (entry_points.many(blocks, blocks, key.data(), count) != OVALITH_OK)
      throw Failure("the cipher library failed to transform a block");
    return;
  }
  // The single-block entry point may not take the same buffer for input
  // and output, so each block goes through a copy.
  for (std::size_t i = 0; i < count; ++i) {
    BlockType in;
    std::uint8_t* block = blocks + i * BlockType::kSize;
    std::copy(block, block + BlockType::kSize, in.bytes.begin());
    entry_points.one(in.data(), block, key.data());
  }
}

void CipherLibrary::EncryptBlocks(std::uint8_t* blocks, std::size_t count,
                                  const BlockType& key) {
  Load();
  Blocks(encrypt_, blocks, count, key);
}

void CipherLibrary::DecryptBlocks(std::uint8_t* blocks, std::size_t count,
                                  const BlockType& key) {
  Load();
  Blocks(decrypt_, blocks, count, key);
}

}  // namespace ovalith
