#include "protect/input_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scripted_platform.h"
#include "test_util.h"

namespace ovalith {
namespace {

using test::RandomBytes;
using test::TempDir;
using test::WriteFile;

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

std::vector<Filled> ThroughReader(System& platform, const std::string& path) {
  InputReader input(platform, path);
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
  TempDir dir;
  ScriptedPlatform platform({});
  const std::size_t kBuffer = std::size_t{64} * 1024;
  std::vector<std::size_t> sizes;
  for (std::size_t size = 1; size <= 25; ++size) sizes.push_back(size);
  for (std::size_t end : {kBuffer, 2 * kBuffer})
    for (std::size_t size = end - 9; size <= end + 9; ++size)
      sizes.push_back(size);
  for (std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string data = RandomBytes(size, static_cast<unsigned>(size));
    WriteFile(dir / "in", data);
    EXPECT_EQ(ThroughReader(platform, dir / "in"), ByteByByte(data));
  }
}

TEST(InputReader, ReadBlockAcrossBufferEndsAndPastTheEnd) {
  TempDir dir;
  ScriptedPlatform platform({});
  const std::size_t size = 2 * 64 * 1024 + 8;
  const std::string data = RandomBytes(size);
  WriteFile(dir / "in", data);
  InputReader input(platform, dir / "in");
  std::string read;
  while (!input.AtEnd()) read += input.ReadBlock().Text();
  EXPECT_EQ(read, data);
  EXPECT_EQ(input.Position(), size);
  EXPECT_THROW(input.ReadBlock(), Failure);

  // A size that is not a multiple of 8: the last block runs past the end.
  WriteFile(dir / "odd", data.substr(0, 20));
  InputReader odd(platform, dir / "odd");
  odd.ReadBlock();
  odd.ReadBlock();
  EXPECT_THROW(odd.ReadBlock(), Failure);
}

}  // namespace
}  // namespace ovalith
