// input_reader.h: the input of a run, read through a buffer so that taking
// it byte by byte and comparing the read position with the size costs a few
// instructions, not a system call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cipher/block_type.h"
#include "platform/system.h"

namespace ovalith {

class InputReader {
 public:
  // Opens path and measures it.  Throws Failure.
  InputReader(System& system, const std::string& path);

  std::uint64_t Size() const { return size_; }
  // Bytes read so far.
  std::uint64_t Position() const {
    return buffer_end_ - static_cast<std::uint64_t>(end_ - next_);
  }
  bool AtEnd() const { return Position() == size_; }

  // A read past the size measured at opening is a Failure, and so is a file
  // that ends before it.
  std::uint8_t ReadByte() {
    if (next_ == end_) Refill();
    return *next_++;
  }
  // Puts the next bytes at positions 1 to 8 of block, one by one, until
  // all 8 are placed or the input ends after one of them.  Returns that
  // position when the input ended, else 9.
  int FillBlock(BlockType& block) {
    // While more than a block is buffered the end cannot come within it.
    if (end_ - next_ > static_cast<std::ptrdiff_t>(BlockType::kSize)) {
      std::memcpy(block.data(), next_, BlockType::kSize);
      next_ += BlockType::kSize;
      return BlockType::kSize + 1;
    }
    return FillBlockAtBufferEnd(block);
  }
  // How many whole blocks can be taken while at least keep bytes stay
  // unread.
  std::uint64_t BlocksBefore(std::uint64_t keep) const {
    std::uint64_t left = size_ - Position();
    return left > keep ? (left - keep) / BlockType::kSize : 0;
  }
  // Copies up to max whole blocks to dst, leaving at least keep bytes
  // unread; returns how many.  The blocks before the end go this way in
  // bulk, so only the last ones cost a call each.
  std::size_t TakeBlocks(std::uint8_t* dst, std::size_t max,
                         std::uint64_t keep);
  // The next 8 bytes.
  BlockType ReadBlock() {
    BlockType block;
    if (end_ - next_ >= static_cast<std::ptrdiff_t>(BlockType::kSize)) {
      std::memcpy(block.data(), next_, BlockType::kSize);
      next_ += BlockType::kSize;
    } else {
      for (std::uint8_t& byte : block.bytes) byte = ReadByte();
    }
    return block;
  }
  // Done with the input.  Windows cannot replace a file that is still open,
  // and the output may replace the input itself.
  void Close() { file_.reset(); }

 private:
  void Refill();
  int FillBlockAtBufferEnd(BlockType& block);

  std::unique_ptr<InputFile> file_;
  std::string path_;
  std::uint64_t size_ = 0;
  std::vector<std::uint8_t> buffer_;
  const std::uint8_t* next_ = nullptr;
  const std::uint8_t* end_ = nullptr;
  std::uint64_t buffer_end_ = 0;  // file position of end_
};

}  // namespace ovalith
