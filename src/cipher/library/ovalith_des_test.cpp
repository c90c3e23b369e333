// Tests of libovalith: published DES answers, the all-zero key, parity bits,
// bulk calls against single-block calls, and OpenSSL's DES as an oracle.
#include "cipher/library/ovalith_des.h"

#include <gtest/gtest.h>
#include <openssl/des.h>

#include <array>
#include <cstddef>
#include <random>
#include <string_view>
#include <thread>
#include <vector>

#include "cipher/library/block_worker.h"

namespace {

using Block = std::array<unsigned char, 8>;
using Bytes = std::vector<unsigned char>;

Block FromHex(std::string_view hex) {
  Block block{};
  for (std::size_t i = 0; i < block.size(); ++i) {
    block[i] = static_cast<unsigned char>(
        std::stoi(std::string(hex.substr(2 * i, 2)), nullptr, 16));
  }
  return block;
}

Block Encrypt(const Block& in, const Block& key) {
  Block out{};
  encrypt(in.data(), out.data(), key.data());
  return out;
}

Block Decrypt(const Block& in, const Block& key) {
  Block out{};
  decrypt(in.data(), out.data(), key.data());
  return out;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
// OpenSSL's single DES, unchecked so weak keys and bad parity are accepted.
Block OpenSslDes(const Block& in, const Block& key, bool encrypting) {
  DES_cblock des_key;
  std::copy(key.begin(), key.end(), des_key);
  DES_key_schedule schedule;
  DES_set_key_unchecked(&des_key, &schedule);
  DES_cblock input;
  std::copy(in.begin(), in.end(), input);
  DES_cblock output;
  DES_ecb_encrypt(&input, &output, &schedule,
                  encrypting ? DES_ENCRYPT : DES_DECRYPT);
  Block out{};
  std::copy(output, output + 8, out.begin());
  return out;
}
#pragma GCC diagnostic pop

class Random {
 public:
  Block NextBlock() {
    Block block{};
    for (auto& byte : block) byte = static_cast<unsigned char>(engine_());
    return block;
  }
  Bytes NextBytes(std::size_t size) {
    Bytes bytes(size);
    for (auto& byte : bytes) byte = static_cast<unsigned char>(engine_());
    return bytes;
  }

 private:
  std::mt19937_64 engine_{20240611};
};

struct KnownAnswer {
  const char* key;
  const char* plain;
  const char* cipher;
};

// FIPS 81, the NBS variable-plaintext and variable-key tests, and the
// SSLeay test table.
constexpr KnownAnswer kKnownAnswers[] = {
    {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
    {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},
    {"0101010101010101", "4000000000000000", "DD7F121CA5015619"},
    {"0101010101010101", "0100000000000000", "0D9F279BA5D87260"},
    {"8001010101010101", "0000000000000000", "95A8D72813DAA94D"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "7A389D10354BD271"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "690F5B0D9A26939B"},
    {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
    {"0E329232EA6D0D73", "8787878787878787", "0000000000000000"},
};

TEST(SingleBlock, PublishedAnswers) {
  for (const KnownAnswer& answer : kKnownAnswers) {
    SCOPED_TRACE(answer.key);
    const Block key = FromHex(answer.key);
    EXPECT_EQ(Encrypt(FromHex(answer.plain), key), FromHex(answer.cipher));
    EXPECT_EQ(Decrypt(FromHex(answer.cipher), key), FromHex(answer.plain));
  }
}

TEST(SingleBlock, WeakKeysWork) {
  // The empty password folds to the all-zero key, which DES treats as
  // 0101010101010101.
  const Block zero{};
  EXPECT_EQ(Encrypt(FromHex("8000000000000000"), zero),
            FromHex("95F8A5E5DD31D900"));
  Random random;
  for (const char* weak : {"0000000000000000", "FEFEFEFEFEFEFEFE",
                           "1F1F1F1F0E0E0E0E", "E0E0E0E0F1F1F1F1"}) {
    SCOPED_TRACE(weak);
    const Block key = FromHex(weak);
    const Block plain = random.NextBlock();
    const Block cipher = Encrypt(plain, key);
    EXPECT_EQ(cipher, OpenSslDes(plain, key, true));
    EXPECT_NE(cipher, plain);
    EXPECT_EQ(Decrypt(cipher, key), plain);
  }
}

TEST(SingleBlock, ParityBitsAreIgnored) {
  Random random;
  for (int i = 0; i < 200; ++i) {
    const Block key = random.NextBlock();
    const Block flips = random.NextBlock();
    Block other = key;
    for (std::size_t j = 0; j < other.size(); ++j)
      other[j] ^= static_cast<unsigned char>(flips[j] & 1);
    const Block plain = random.NextBlock();
    EXPECT_EQ(Encrypt(plain, key), Encrypt(plain, other));
  }
}

TEST(SingleBlock, InPlaceAndKeyUnchanged) {
  Random random;
  const Block key = random.NextBlock();
  const Block plain = random.NextBlock();
  Block block = plain;
  Block key_copy = key;
  encrypt(block.data(), block.data(), key_copy.data());
  EXPECT_EQ(block, OpenSslDes(plain, key, true));
  decrypt(block.data(), block.data(), key_copy.data());
  EXPECT_EQ(block, plain);
  EXPECT_EQ(key_copy, key);
}

// Every call with a fresh key, then runs under one key, so that a stale
// cached key schedule shows.
TEST(SingleBlock, MatchesOpenSslOnRandomKeysAndBlocks) {
  Random random;
  Block key{};
  for (int i = 0; i < 10000; ++i) {
    if (i < 5000 || i % 100 == 0) key = random.NextBlock();
    const Block plain = random.NextBlock();
    const Block cipher = Encrypt(plain, key);
    ASSERT_EQ(cipher, OpenSslDes(plain, key, true)) << "call " << i;
    ASSERT_EQ(Decrypt(cipher, key), plain) << "call " << i;
    const Block any = random.NextBlock();
    ASSERT_EQ(Decrypt(any, key), OpenSslDes(any, key, false)) << "call " << i;
  }
}

Bytes PerBlock(ovalith_block_fn fn, const Bytes& in, const Block& key) {
  Bytes out(in.size());
  for (std::size_t offset = 0; offset < in.size(); offset += 8) {
    fn(in.data() + offset, out.data() + offset, key.data());
  }
  return out;
}

class Bulk : public ::testing::TestWithParam<std::size_t> {};

TEST_P(Bulk, EqualsOneCallPerBlock) {
  const std::size_t count = GetParam();
  Random random;
  const Block key = random.NextBlock();
  const Bytes plain = random.NextBytes(count * 8);

  const Bytes expected_cipher = PerBlock(encrypt, plain, key);
  Bytes cipher(plain.size() + 8, 0xA5);  // one guard block past the end
  encrypt_blocks(plain.data(), cipher.data(), key.data(), count);
  EXPECT_EQ(Bytes(cipher.begin(), cipher.end() - 8), expected_cipher);
  EXPECT_EQ(Bytes(cipher.end() - 8, cipher.end()), Bytes(8, 0xA5));

  Bytes in_place = plain;
  encrypt_blocks(in_place.data(), in_place.data(), key.data(), count);
  EXPECT_EQ(in_place, expected_cipher);

  const Bytes expected_plain = PerBlock(decrypt, expected_cipher, key);
  EXPECT_EQ(expected_plain, plain);
  Bytes decrypted(plain.size());
  decrypt_blocks(expected_cipher.data(), decrypted.data(), key.data(), count);
  EXPECT_EQ(decrypted, plain);
  decrypt_blocks(in_place.data(), in_place.data(), key.data(), count);
  EXPECT_EQ(in_place, plain);
}

constexpr std::size_t kSplit = ovalith::des::kMinSplitBlocks;
INSTANTIATE_TEST_SUITE_P(Sizes, Bulk,
                         ::testing::Values(0, 1, 2, 3, 17, 255, kSplit - 1,
                                           kSplit, kSplit + 1, 3 * kSplit + 7,
                                           131071));

TEST(BulkKey, KeyInsideTheBufferIsReadBeforeItIsOverwritten) {
  constexpr std::size_t kCount = 2 * kSplit;
  Random random;
  Bytes buffer = random.NextBytes(kCount * 8);
  const Block key{buffer[8],  buffer[9],  buffer[10], buffer[11],
                  buffer[12], buffer[13], buffer[14], buffer[15]};
  const Bytes expected = PerBlock(encrypt, buffer, key);
  encrypt_blocks(buffer.data(), buffer.data(), buffer.data() + 8, kCount);
  EXPECT_EQ(buffer, expected);
}

// Callers on several threads at once share one worker; each must get its
// own blocks under its own key.
TEST(BulkThreads, ConcurrentCallersGetTheirOwnResults) {
  constexpr std::size_t kCount = 4 * kSplit + 3;
  constexpr int kThreads = 4;
  Random random;
  std::vector<Block> keys;
  std::vector<Bytes> plains;
  std::vector<Bytes> expected;
  for (int t = 0; t < kThreads; ++t) {
    keys.push_back(random.NextBlock());
    plains.push_back(random.NextBytes(kCount * 8));
    expected.push_back(PerBlock(encrypt, plains.back(), keys.back()));
  }
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      Bytes out(kCount * 8);
      for (int round = 0; round < 20; ++round) {
        encrypt_blocks(plains[t].data(), out.data(), keys[t].data(), kCount);
        if (out != expected[t]) ++mismatches[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(kThreads, 0));
}

}  // namespace
