#include "protect/block_batch.h"

namespace ovalith {

BlockBatch::BlockBatch(CipherLibrary& cipher, const BlockType& key,
                       Transform transform, PendingOutput& output)
    : cipher_(cipher),
      key_(key),
      transform_(transform),
      output_(output),
      buffers_(2 * kBlocks * BlockType::kSize),
      buffer_(buffers_.data()) {}

void BlockBatch::Flush(std::size_t keep_last) {
  if (count_ == 0) return;
  if (transform_ == Transform::Encrypt)
    cipher_.EncryptBlocks(buffer_, count_, key_);
  else
    cipher_.DecryptBlocks(buffer_, count_, key_);
  output_.WriteBehind(buffer_, (count_ - 1) * BlockType::kSize + keep_last);
  buffer_ = buffer_ == buffers_.data() ? buffer_ + kBlocks * BlockType::kSize
                                       : buffers_.data();
  count_ = 0;
}

}  // namespace ovalith
