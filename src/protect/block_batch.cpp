#include "protect/block_batch.h"

namespace ovalith {

BlockBatch::BlockBatch(CipherLibrary& cipher, const BlockType& key,
                       Transform transform, PendingOutput& output)
    : cipher_(cipher),
      key_(key),
      transform_(transform),
      output_(output),
      buffer_(kBlocks * BlockType::kSize) {}

void BlockBatch::Flush(std::size_t keep_last) {
  if (count_ == 0) return;
  if (transform_ == Transform::Encrypt)
    cipher_.EncryptBlocks(buffer_.data(), count_, key_);
  else
    cipher_.DecryptBlocks(buffer_.data(), count_, key_);
  output_.Write(buffer_.data(), (count_ - 1) * BlockType::kSize + keep_last);
  count_ = 0;
}

}  // namespace ovalith
