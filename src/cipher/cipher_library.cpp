#include "cipher/cipher_library.h"

#include <algorithm>
#include <string>

namespace ovalith {

namespace {

const char kLibraryName[] = "ovalith";

// Our library cannot report an error through its entry points; a block it
// failed on comes out as zeros, which encryption gives once in 2^64.  (Plain
// blocks of zeros are common, so decryption cannot be checked this way; a
// failing library shows there as a header that is not accepted.)
void CheckBlock(const std::uint8_t* block) {
  if (std::all_of(block, block + BlockType::kSize,
                  [](std::uint8_t byte) { return byte == 0; }))
    throw Failure("the cipher library failed to transform a block");
}

}  // namespace

void CipherLibrary::Load() {
  if (loaded_) return;
  void* library = system_.LoadLibrary(kLibraryName);
  auto find = [&](Direction& direction) {
    direction.one = reinterpret_cast<ovalith_block_fn>(
        system_.FindEntryPoint(library, direction.name));
    std::string bulk = std::string(direction.name) + "_blocks";
    direction.many = reinterpret_cast<ovalith_blocks_fn>(
        system_.FindEntryPoint(library, bulk.c_str()));
  };
  find(encrypt_);
  find(decrypt_);
  loaded_ = true;
}

const CipherLibrary::Direction& CipherLibrary::Need(
    const Direction& direction) {
  Load();
  if (!direction.one)
    throw Failure(std::string("the cipher library has no entry point \"") +
                  direction.name + "\"");
  return direction;
}

void CipherLibrary::Encrypt(const BlockType& in, BlockType& out,
                            const BlockType& key) {
  Need(encrypt_).one(in.data(), out.data(), key.data());
  CheckBlock(out.data());
}

void CipherLibrary::Decrypt(const BlockType& in, BlockType& out,
                            const BlockType& key) {
  Need(decrypt_).one(in.data(), out.data(), key.data());
}

void CipherLibrary::Blocks(const Direction& direction, std::uint8_t* blocks,
                           std::size_t count, const BlockType& key) {
  Need(direction);
  if (direction.many) {
    direction.many(blocks, blocks, key.data(), count);
    return;
  }
  // The single-block entry point may not take the same buffer for input
  // and output, so each block goes through a copy.
  for (std::size_t i = 0; i < count; ++i) {
    BlockType in;
    std::uint8_t* block = blocks + i * BlockType::kSize;
    std::copy(block, block + BlockType::kSize, in.bytes.begin());
    direction.one(in.data(), block, key.data());
  }
}

void CipherLibrary::EncryptBlocks(std::uint8_t* blocks, std::size_t count,
                                  const BlockType& key) {
  Blocks(encrypt_, blocks, count, key);
  if (count > 0) CheckBlock(blocks + (count - 1) * BlockType::kSize);
}

void CipherLibrary::DecryptBlocks(std::uint8_t* blocks, std::size_t count,
                                  const BlockType& key) {
  Blocks(decrypt_, blocks, count, key);
}

}  // namespace ovalith
