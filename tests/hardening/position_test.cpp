// Read positions past 4 GiB: the input reader over a fake file that claims
// more than 32 bits of size, and (label "slow") a real 5 GiB sparse file
// through both runs of the built program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "child_process.h"
#include "memory_system.h"
#include "protect/input_reader.h"
#include "test_util.h"

namespace ovalith {
namespace {

constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;

// The byte a fake file holds at a position: it changes every 64 KiB and
// differs on both sides of 4 GiB, so a position that lost its high bits
// reads the wrong byte.
std::uint8_t FakeByte(std::uint64_t position) {
  return static_cast<std::uint8_t>((position >> 16) ^ (position >> 32) ^
                                   (position & 7));
}

class FakeInput : public InputFile {
 public:
  FakeInput(std::uint64_t size, std::uint64_t data_end)
      : size_(size), data_end_(data_end) {}
  std::size_t Read(std::uint8_t* buf, std::size_t n) override {
    std::size_t done = 0;
    while (done < n && position_ < data_end_) {
      buf[done++] = FakeByte(position_++);
    }
    return done;
  }
  std::uint64_t Size() override { return size_; }

 private:
  std::uint64_t size_, data_end_, position_ = 0;
};

class FakeFileSystem : public test::MemorySystem {
 public:
  FakeFileSystem(std::uint64_t size, std::uint64_t data_end)
      : size_(size), data_end_(data_end) {}
  std::unique_ptr<InputFile> OpenInput(const std::string&) override {
    return std::make_unique<FakeInput>(size_, data_end_);
  }

 private:
  std::uint64_t size_, data_end_;
};

// Reads up to position, checking the position after every block.
void SkipTo(InputReader& reader, std::uint64_t position) {
  while (reader.Position() + 8 <= position) {
    std::uint64_t before = reader.Position();
    reader.ReadBlock();
    ASSERT_EQ(reader.Position(), before + 8);
  }
  while (reader.Position() < position) reader.ReadByte();
}

TEST(InputPosition, PastFourGiB) {
  const std::uint64_t size = k4GiB + 8 * 3 + 5;
  FakeFileSystem system(size, size);
  InputReader reader(system, "huge");
  EXPECT_EQ(reader.Size(), size);
  SkipTo(reader, k4GiB - 3);
  for (std::uint64_t p = k4GiB - 3; p < size; ++p) {
    ASSERT_FALSE(reader.AtEnd()) << p;
    ASSERT_EQ(reader.Position(), p);
    ASSERT_EQ(reader.ReadByte(), FakeByte(p)) << p;
  }
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.Position(), size);
  EXPECT_THROW(reader.ReadByte(), Failure);
}

TEST(InputPosition, FileShorterThanItsSizeIsAFailureNotALoop) {
  FakeFileSystem system(1000, 990);
  InputReader reader(system, "shrunk");
  SkipTo(reader, 990);
  EXPECT_THROW(reader.ReadByte(), Failure);
}

}  // namespace

namespace test {
namespace {

bool AllZero(const std::string& path, std::uint64_t expected_size) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buf(1 << 20);
  std::uint64_t total = 0;
  while (in.read(buf.data(), static_cast<std::streamsize>(buf.size())) ||
         in.gcount() > 0) {
    auto got = static_cast<std::size_t>(in.gcount());
    for (std::size_t i = 0; i < got; ++i)
      if (buf[i] != 0) return false;
    total += got;
  }
  return total == expected_size;
}

std::string BlockAt(const std::string& path, std::uint64_t offset) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  std::string block(8, '\0');
  in.read(block.data(), 8);
  return block;
}

TEST(Slow, SparseFileLargerThanFourGiB) {
  const char* enabled = std::getenv("OVALITH_SLOW_TESTS");
  if (!enabled || std::string(enabled) != "1")
    GTEST_SKIP() << "set OVALITH_SLOW_TESTS=1 to run (about 2 minutes, 10 "
                    "GiB of disk)";
  TempDir dir;
  const std::uint64_t size = 5 * k4GiB / 4;  // 5 GiB
  { std::ofstream create(dir / "sparse.img"); }
  ASSERT_EQ(::truncate((dir / "sparse.img").c_str(), static_cast<off_t>(size)),
            0);
  ChildResult encrypted =
      RunOvalith({"sparse.img", "/pw=sparse"},
                 {.cwd = dir.path(), .timeout_seconds = 1200});
  ASSERT_EQ(encrypted.status, 0) << encrypted.err;
  std::string container = dir / "sparse.ov2";
  std::string key = KeyOf("sparse");
  std::ifstream measure(container, std::ios::binary | std::ios::ate);
  EXPECT_EQ(static_cast<std::uint64_t>(measure.tellg()), size + 16);
  EXPECT_EQ(DesDecrypt(BlockAt(container, 0), key), "Ov2img  ");
  std::string zeros(8, '\0');
  for (std::uint64_t offset : {std::uint64_t{8}, k4GiB, k4GiB + 8, size})
    EXPECT_EQ(DesDecrypt(BlockAt(container, offset), key), zeros) << offset;
  EXPECT_EQ(DesDecrypt(BlockAt(container, size + 8), key), "Ov2End.8");

  std::remove((dir / "sparse.img").c_str());
  ChildResult decrypted =
      RunOvalith({"sparse.ov2", "/pw=sparse"},
                 {.cwd = dir.path(), .timeout_seconds = 1200});
  ASSERT_EQ(decrypted.status, 0) << decrypted.err;
  EXPECT_TRUE(AllZero(dir / "sparse.img", size));
}

}  // namespace
}  // namespace test
}  // namespace ovalith
