// Tests of libovalith's exported entry points as a program calls them: DES
// on the path the library chose, parity bits ignored, the key left alone,
// bulk calls against single-block calls and their result, and callers on
// several threads at once.
#include "cipher/library/ovalith_des.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "test_util.h"

namespace {

using ovalith::test::DesEcb;

const unsigned char* Bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}
unsigned char* Bytes(std::string& s) {
  return reinterpret_cast<unsigned char*>(s.data());
}

std::string Random(std::mt19937_64& random, std::size_t bytes) {
  std::string data(bytes, '\0');
  for (char& c : data) c = static_cast<char>(random());
  return data;
}

std::string PerBlock(ovalith_block_fn fn, const std::string& in,
                     const std::string& key) {
  std::string out(in.size(), '\0');
  for (std::size_t i = 0; i < in.size(); i += 8)
    fn(Bytes(in) + i, Bytes(out) + i, Bytes(key));
  return out;
}

TEST(EntryPoints, SingleBlocksMatchOpenSslAndKeepTheKey) {
  std::mt19937_64 random(3);
  for (int i = 0; i < 500; ++i) {
    const std::string key = Random(random, 8);
    std::string key_copy = key;
    const std::string plain = Random(random, 8);
    std::string block = plain;
    encrypt(Bytes(block), Bytes(block), Bytes(key_copy));
    ASSERT_EQ(block, DesEcb(plain, key, true));
    decrypt(Bytes(block), Bytes(block), Bytes(key_copy));
    ASSERT_EQ(block, plain);
    ASSERT_EQ(key_copy, key);
  }
}

TEST(EntryPoints, ParityBitsAreIgnored) {
  std::mt19937_64 random(4);
  for (int i = 0; i < 200; ++i) {
    const std::string key = Random(random, 8);
    std::string other = key;
    for (char& c : other) c = static_cast<char>(c ^ (random() & 1));
    const std::string plain = Random(random, 8);
    EXPECT_EQ(PerBlock(encrypt, plain, key), PerBlock(encrypt, plain, other));
  }
}

class Bulk : public ::testing::TestWithParam<std::size_t> {};

TEST_P(Bulk, EqualsOneCallPerBlock) {
  const std::size_t count = GetParam();
  std::mt19937_64 random(count);
  const std::string key = Random(random, 8);
  const std::string plain = Random(random, count * 8);
  const std::string expected = PerBlock(encrypt, plain, key);
  std::string cipher(plain.size() + 8, '\xA5');  // a guard block past the end
  EXPECT_EQ(encrypt_blocks(Bytes(plain), Bytes(cipher), Bytes(key), count),
            OVALITH_OK);
  EXPECT_EQ(cipher, expected + std::string(8, '\xA5'));
  std::string in_place = expected;
  EXPECT_EQ(decrypt_blocks(Bytes(in_place), Bytes(in_place), Bytes(key), count),
            OVALITH_OK);
  EXPECT_EQ(in_place, plain);
  EXPECT_EQ(PerBlock(decrypt, expected, key), plain);
}

INSTANTIATE_TEST_SUITE_P(Counts, Bulk,
                         ::testing::Values(0, 1, 2, 63, 64, 65, 511, 512, 513,
                                           65536 + 3));

TEST(BulkResult, OverlappingBuffersAreRefusedUntouched) {
  std::mt19937_64 random(6);
  const std::string key = Random(random, 8);
  const std::string original = Random(random, 100 * 8);
  // 50 blocks, the second copy starting 1 byte to 49 blocks further on.
  for (std::size_t shift : {1, 8, 392}) {
    std::string buffer = original;
    EXPECT_EQ(
        encrypt_blocks(Bytes(buffer), Bytes(buffer) + shift, Bytes(key), 50),
        OVALITH_BAD_ARGUMENTS);
    EXPECT_EQ(
        decrypt_blocks(Bytes(buffer) + shift, Bytes(buffer), Bytes(key), 50),
        OVALITH_BAD_ARGUMENTS);
    EXPECT_EQ(buffer, original);
  }
  EXPECT_EQ(encrypt_blocks(nullptr, nullptr, Bytes(key), 1),
            OVALITH_BAD_ARGUMENTS);
}

// Callers on several threads at once, each with its own key: one of them
// uses the cached round keys, the others make their own.
TEST(BulkThreads, ConcurrentCallersGetTheirOwnResults) {
  constexpr std::size_t kCount = 4099;
  constexpr int kThreads = 4;
  std::mt19937_64 random(7);
  std::vector<std::string> keys, plains, expected;
  for (int t = 0; t < kThreads; ++t) {
    keys.push_back(Random(random, 8));
    plains.push_back(Random(random, kCount * 8));
    expected.push_back(DesEcb(plains.back(), keys.back(), true));
  }
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::string out(kCount * 8, '\0');
      for (int round = 0; round < 50; ++round) {
        if (encrypt_blocks(Bytes(plains[t]), Bytes(out), Bytes(keys[t]),
                           kCount) != OVALITH_OK ||
            out != expected[t])
          ++mismatches[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(kThreads, 0));
}

}  // namespace
