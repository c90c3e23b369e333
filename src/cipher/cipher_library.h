// cipher_library.h: the boundary to the block cipher library.  The library
// is loaded by name at the first call and stays loaded; calls go through
// function pointers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cipher/block_type.h"
#include "cipher/cipher_abi.h"
#include "platform/system.h"

namespace ovalith {

class CipherLibrary {
 public:
  explicit CipherLibrary(System& system) : system_(system) {}

  // One block.  Throw Failure when the library cannot be loaded, lacks an
  // entry point or fails the checks made when it is loaded.
  void Encrypt(const BlockType& in, BlockType& out, const BlockType& key);
  void Decrypt(const BlockType& in, BlockType& out, const BlockType& key);

  // count blocks, in place: through the library's bulk entry point when it
  // has one, else one call per block.  The result is the same either way.
  // Throw Failure as above, or when the bulk entry point reports failure.
  void EncryptBlocks(std::uint8_t* blocks, std::size_t count,
                     const BlockType& key);
  void DecryptBlocks(std::uint8_t* blocks, std::size_t count,
                     const BlockType& key);

 private:
  struct EntryPoints {
    ovalith_block_fn one = nullptr;
    ovalith_blocks_fn many = nullptr;
    const char* name = "";
  };
  void Load();
  void Check();
  void Blocks(const EntryPoints& entry_points, std::uint8_t* blocks,
              std::size_t count, const BlockType& key);

  System& system_;
  bool loaded_ = false;
  EntryPoints encrypt_{nullptr, nullptr, "encrypt"};
  EntryPoints decrypt_{nullptr, nullptr, "decrypt"};
};

}  // namespace ovalith
