#include "protect/input_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_system.h"
#include "test_util.h"

namespace ovalith {
namespace {

using test::MemorySystem;
using test::RandomBytes;

struct Filled {
  int count;  // 1 to 8 when the input ended in the block, else 9
  std::string bytes;
  friend bool operator==(const Filled&, const Filled&) = default;
};

// The encryption run's loop, one byte at a time, over data in memory.
std::vector<Filled> ByteByByte(const std::string& data) {
  std::vector<Filled> blocks;
  std::size_t position = 0;
  while (position < data.size()) {
    Filled block{0, std::string(8, ' ')};
    for (block.count = 1; block.count <= 8; ++block.count) {
      block.bytes[static_cast<std::size_t>(block.count - 1)] = data[position++];
      if (position == data.size()) break;
    }
    blocks.push_back(block);
    if (block.count < 9) break;
  }
  return blocks;
}

std::vector<Filled> ThroughReader(System& system, const std::string& path) {
  InputReader input(system, path);
  std::vector<Filled> blocks;
  while (!input.AtEnd()) {
    BlockType block = BlockType::FromText("");
    int count = input.FillBlock(block);
    blocks.push_back({count, block.Text()});
    if (count < 9) break;
  }
  return blocks;
}

// Whole blocks are taken straight from the buffer; near its end and the
// file's, byte by byte.  Both must give what the byte loop gives.
TEST(InputReader, FillBlockMatchesTheByteLoopAroundBufferEnds) {
  MemorySystem fs;
  const std::size_t kBuffer = std::size_t{64} * 1024;
  std::vector<std::size_t> sizes;
  for (std::size_t size = 1; size <= 25; ++size) sizes.push_back(size);
  for (std::size_t end : {kBuffer, 2 * kBuffer})
    for (std::size_t size = end - 9; size <= end + 9; ++size)
      sizes.push_back(size);
  for (std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string data = RandomBytes(size, static_cast<unsigned>(size));
    fs.Write("/in", data);
    EXPECT_EQ(ThroughReader(fs, "/in"), ByteByByte(data));
  }
}

TEST(InputReader, ReadBlockAcrossBufferEndsAndPastTheEnd) {
  MemorySystem fs;
  const std::size_t size = 2 * 64 * 1024 + 8;
  const std::string data = RandomBytes(size);
  fs.Write("/in", data);
  InputReader input(fs, "/in");
  std::string read;
  while (!input.AtEnd()) read += input.ReadBlock().Text();
  EXPECT_EQ(read, data);
  EXPECT_EQ(input.Position(), size);
  EXPECT_THROW(input.ReadBlock(), Failure);

  // A size that is not a multiple of 8: the last block runs past the end.
  fs.Write("/odd", data.substr(0, 20));
  InputReader odd(fs, "/odd");
  odd.ReadBlock();
  odd.ReadBlock();
  EXPECT_THROW(odd.ReadBlock(), Failure);
}

// Once the buffer is empty, whole blocks go straight to the batch: mixed
// with blocks from the buffer and bytes after them, they are the file in
// order, and a file cut short under them is a Failure.
TEST(InputReader, TakeBlocksStraightIntoTheBatch) {
  MemorySystem fs;
  const std::size_t kBuffer = std::size_t{64} * 1024;
  const std::string data = RandomBytes(5 * kBuffer + 13);
  fs.Write("/in", data);
  InputReader input(fs, "/in");
  std::string read = input.ReadBlock().Text();
  std::vector<std::uint8_t> batch(3 * kBuffer);
  for (std::size_t max :
       {std::size_t{10}, batch.size() / 8, batch.size() / 8}) {
    const std::size_t got = input.TakeBlocks(batch.data(), max, 1);
    read.append(reinterpret_cast<const char*>(batch.data()), got * 8);
  }
  EXPECT_LT(input.Size() - input.Position(), 8u);
  while (!input.AtEnd()) read += static_cast<char>(input.ReadByte());
  EXPECT_EQ(read, data);

  InputReader cut(fs, "/in");
  fs.Write("/in", data.substr(0, kBuffer + 5));
  EXPECT_THROW(cut.TakeBlocks(batch.data(), batch.size() / 8, 0), Failure);
}

// The size is measured at opening: a file cut short while it is read is a
// Failure, not a short output.
TEST(InputReader, FileCutShortWhileReadIsAFailure) {
  MemorySystem fs;
  const std::string data = RandomBytes(3 * 64 * 1024);
  fs.Write("/in", data);
  InputReader input(fs, "/in");
  input.ReadBlock();
  fs.Write("/in", data.substr(0, 64 * 1024 + 3));
  while (input.Position() < 64 * 1024) input.ReadBlock();
  EXPECT_THROW(
      {
        while (!input.AtEnd()) input.ReadBlock();
      },
      Failure);
}

}  // namespace
}  // namespace ovalith
