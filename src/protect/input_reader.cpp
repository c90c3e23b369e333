#include "protect/input_reader.h"

#include <algorithm>

namespace ovalith {

namespace {
const std::size_t kBufferSize = std::size_t{64} * 1024;
}

InputReader::InputReader(System& system, const std::string& path)
    : file_(system.OpenInput(path)),
      path_(path),
      size_(file_->Size()),
      buffer_(kBufferSize) {
  next_ = end_ = buffer_.data();
}

void InputReader::Refill() {
  std::uint64_t left = size_ - buffer_end_;
  if (left == 0) throw Failure(path_ + ": unexpected end of file");
  std::size_t want =
      static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer_.size()));
  std::size_t got = file_->Read(buffer_.data(), want);
  if (got == 0)
    throw Failure(path_ + ": the file became shorter while it was read");
  next_ = buffer_.data();
  end_ = next_ + got;
  buffer_end_ += got;
}

std::size_t InputReader::TakeBlocks(std::uint8_t* dst, std::size_t max,
                                    std::uint64_t keep) {
  std::size_t blocks = static_cast<std::size_t>(
      std::min<std::uint64_t>(max, BlocksBefore(keep)));
  std::size_t bytes = blocks * BlockType::kSize;
  for (std::size_t done = 0; done < bytes;) {
    if (next_ == end_ && bytes - done >= buffer_.size()) {
      // Nothing buffered and much to take: read it straight to dst.
      std::size_t got = file_->Read(dst + done, bytes - done);
      if (got == 0)
        throw Failure(path_ + ": the file became shorter while it was read");
      buffer_end_ += got;
      done += got;
      continue;
    }
    if (next_ == end_) Refill();
    std::size_t chunk = std::min<std::size_t>(
        bytes - done, static_cast<std::size_t>(end_ - next_));
    std::memcpy(dst + done, next_, chunk);
    next_ += chunk;
    done += chunk;
  }
  return blocks;
}

int InputReader::FillBlockAtBufferEnd(BlockType& block) {
  for (int i = 1; i <= static_cast<int>(BlockType::kSize); ++i) {
    block.bytes[static_cast<std::size_t>(i - 1)] = ReadByte();
    if (AtEnd()) return i;
  }
  return BlockType::kSize + 1;
}

}  // namespace ovalith
