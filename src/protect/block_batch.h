// block_batch.h: blocks on their way from a run to its output file.  They
// are gathered and transformed many at a time, so that the cipher library
// works on whole passes of blocks and the output is written in large
// pieces, each while the next is gathered and transformed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "cipher/cipher_library.h"
#include "protect/input_reader.h"
#include "protect/pending_output.h"

namespace ovalith {

class BlockBatch {
 public:
  enum class Transform { Encrypt, Decrypt };

  BlockBatch(CipherLibrary& cipher, const BlockType& key, Transform transform,
             PendingOutput& output);
  // A batch may still be on its way out of one of the buffers.
  ~BlockBatch() { output_.Settle(); }
  BlockBatch(const BlockBatch&) = delete;
  BlockBatch& operator=(const BlockBatch&) = delete;

  // A full batch is flushed only when the next block comes, so the last
  // block of a run is always still here for Flush to cut.
  void Add(const BlockType& block) {
    if (count_ == kBlocks) Flush();
    std::memcpy(buffer_ + count_ * BlockType::kSize, block.data(),
                BlockType::kSize);
    ++count_;
  }

  // Whole blocks straight from the input, as many as the batch holds,
  // leaving at least keep bytes of it unread; false when there were none.
  bool AddFrom(InputReader& input, std::uint64_t keep) {
    if (input.BlocksBefore(keep) == 0) return false;
    if (count_ == kBlocks) Flush();
    count_ += input.TakeBlocks(buffer_ + count_ * BlockType::kSize,
                               kBlocks - count_, keep);
    return true;
  }

  // Transforms and writes every gathered block; of the last one only its
  // first keep_last bytes.
  void Flush(std::size_t keep_last = BlockType::kSize);

 private:
  static constexpr std::size_t kBlocks = 64 * 1024;

  CipherLibrary& cipher_;
  const BlockType& key_;
  Transform transform_;
  PendingOutput& output_;
  // Two buffers: one is filled while the other is written.
  std::vector<std::uint8_t> buffers_;
  std::uint8_t* buffer_;  // the one being filled
  std::size_t count_ = 0;
};

}  // namespace ovalith
