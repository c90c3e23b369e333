// Tests of every bitsliced path, each forced in turn (paths this processor
// lacks are skipped): published answers, OpenSSL's DES on many random blocks
// under random, weak and semi-weak keys, every count around a pass, and
// unaligned, in-place and out-of-place buffers.
#include "cipher/library/des_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "test_util.h"

namespace ovalith::des {
namespace {

using test::DesEcb;

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

std::string CryptString(Path path, bool decrypt, const std::string& data,
                        const std::string& key) {
  std::string out(data.size(), '\0');
  Crypt(path, decrypt, reinterpret_cast<const unsigned char*>(data.data()),
        reinterpret_cast<unsigned char*>(out.data()),
        reinterpret_cast<const unsigned char*>(key.data()), data.size() / 8);
  return out;
}

std::string Random(std::mt19937_64& random, std::size_t bytes) {
  std::string data(bytes, '\0');
  for (char& c : data) c = static_cast<char>(random());
  return data;
}

class DesPath : public ::testing::TestWithParam<Path> {
 protected:
  void SetUp() override {
    if (!PathAvailable(GetParam()))
      GTEST_SKIP() << "this processor has no " << PathName(GetParam());
  }
  std::string Encrypt(const std::string& data, const std::string& key) {
    return CryptString(GetParam(), false, data, key);
  }
  std::string Decrypt(const std::string& data, const std::string& key) {
    return CryptString(GetParam(), true, data, key);
  }
};

struct Answer {
  const char* key;
  const char* plain;
  const char* cipher;
};

// From FIPS 81 and the NBS/SP 800-17 tables: variable plaintext, variable
// key, permutation operation and substitution table tests.
constexpr Answer kPublished[] = {
    {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
    {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
    {"0E329232EA6D0D73", "8787878787878787", "0000000000000000"},
    {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},
    {"0101010101010101", "4000000000000000", "DD7F121CA5015619"},
    {"0101010101010101", "2000000000000000", "2E8653104F3834EA"},
    {"0101010101010101", "0000000000000001", "166B40B44ABA4BD6"},
    {"8001010101010101", "0000000000000000", "95A8D72813DAA94D"},
    {"4001010101010101", "0000000000000000", "0EEC1487DD8C26D5"},
    {"0101010101010102", "0000000000000000", "869EFD7F9F265A09"},
    {"1046913489980131", "0000000000000000", "88D55E54F54C97B4"},
    {"1007103489988020", "0000000000000000", "0C0CC00C83EA48FD"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "690F5B0D9A26939B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "7A389D10354BD271"},
    {"07A1133E4A0B2686", "0248D43806F67172", "868EBB51CAB4599A"},
    {"3849674C2602319E", "51454B582DDF440A", "7178876E01F19B2A"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "AF37FB421F8C4095"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "86A560F10EC6D85B"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "0CD3DA020021DC09"},
    {"43297FAD38E373FE", "762514B829BF486A", "EA676B2CB7DB2B7A"},
    {"07A7137045DA2A16", "3BDD119049372802", "DFD64A815CAF1A0F"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "5C513C9C4886C088"},
    {"37D06BB516CB7546", "164D5E404F275232", "0A2AEEAE3FF4AB77"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "EF1BF03E5DFA575A"},
    {"584023641ABA6176", "004BD6EF09176062", "88BF0DB6D70DEE56"},
    {"025816164629B007", "480D39006EE762F2", "A1F9915541020B56"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "6FBF1CAFCFFD0556"},
    {"4FB05E1515AB73A7", "072D43A077075292", "2F22E49BAB7CA1AC"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "5A6B612CC26CCE4A"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "5F4C038ED12B2E41"},
    {"1C587F1C13924FEF", "305532286D6F295A", "63FAC0D034D9F793"},
};

// Alone (a single block has its own code) and three times over (a pass).
TEST_P(DesPath, PublishedAnswers) {
  for (const Answer& answer : kPublished) {
    SCOPED_TRACE(answer.key);
    const std::string key = FromHex(answer.key);
    const std::string plain = FromHex(answer.plain);
    const std::string cipher = FromHex(answer.cipher);
    EXPECT_EQ(Encrypt(plain, key), cipher);
    EXPECT_EQ(Decrypt(cipher, key), plain);
    EXPECT_EQ(Encrypt(plain + plain + plain, key), cipher + cipher + cipher);
    EXPECT_EQ(Decrypt(cipher + cipher + cipher, key), plain + plain + plain);
  }
}

// The whole variable-plaintext and variable-key tests (every single-bit
// plaintext under the zero key, every single-bit key on the zero block),
// each set in one call, so each answer sits in a different lane.
TEST_P(DesPath, VariablePlaintextAndKeyTests) {
  const std::string zero_key = FromHex("0101010101010101");
  std::string plains;
  for (int bit = 0; bit < 64; ++bit) {
    std::string block(8, '\0');
    block[bit / 8] = static_cast<char>(0x80 >> (bit % 8));
    plains += block;
  }
  EXPECT_EQ(Encrypt(plains, zero_key), DesEcb(plains, zero_key, true));
  EXPECT_EQ(Decrypt(DesEcb(plains, zero_key, true), zero_key), plains);
  for (int bit = 0; bit < 64; ++bit) {
    if (bit % 8 == 7) continue;  // parity bits
    std::string key = zero_key;
    key[bit / 8] = static_cast<char>(key[bit / 8] | (0x80 >> (bit % 8)));
    const std::string zero(8, '\0');
    EXPECT_EQ(Encrypt(zero, key), DesEcb(zero, key, true)) << "key bit " << bit;
  }
}

// Weak, semi-weak and random keys, each on blocks filling several passes of
// the widest path, against OpenSSL in both directions.
TEST_P(DesPath, MatchesOpenSslOnManyBlocks) {
  std::vector<std::string> keys;
  for (const char* weak :
       {"0101010101010101", "FEFEFEFEFEFEFEFE", "1F1F1F1F0E0E0E0E",
        "E0E0E0E0F1F1F1F1", "01FE01FE01FE01FE", "FE01FE01FE01FE01",
        "1FE01FE00EF10EF1", "E01FE01FF10EF10E", "01E001E001F101F1",
        "E001E001F101F101", "1FFE1FFE0EFE0EFE", "FE1FFE1FFE0EFE0E",
        "011F011F010E010E", "1F011F010E010E01", "E0FEE0FEF1FEF1FE",
        "FEE0FEE0FEF1FEF1", "0000000000000000", "FFFFFFFFFFFFFFFF"})
    keys.push_back(FromHex(weak));
  std::mt19937_64 random(81);
  while (keys.size() < 64) keys.push_back(Random(random, 8));
  for (const std::string& key : keys) {
    const std::string plain = Random(random, 16384 * 8);
    const std::string cipher = Encrypt(plain, key);
    ASSERT_EQ(cipher, DesEcb(plain, key, true));
    const std::string other = Random(random, 4096 * 8);
    ASSERT_EQ(Decrypt(other, key), DesEcb(other, key, false));
    ASSERT_EQ(Decrypt(cipher, key), plain);
  }
}

// Counts around a pass (up to three blocks left over go one by one), at
// an odd address, out of place and in place; the bytes around the blocks
// stay as they were.
TEST_P(DesPath, EveryCountAroundAPass) {
  const std::size_t pass = PassBlocks(GetParam());
  std::mt19937_64 random(17);
  const std::string key = Random(random, 8);
  for (std::size_t count :
       {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3},
        std::size_t{4}, pass - 1, pass, pass + 1, pass + 3, pass + 4,
        2 * pass - 1, 7 * pass + 13}) {
    SCOPED_TRACE(count);
    const std::string plain = Random(random, count * 8);
    const std::string expected = DesEcb(plain, key, true);
    std::string in = "xyz" + plain;
    std::string out(count * 8 + 6, '#');
    Crypt(GetParam(), false, reinterpret_cast<unsigned char*>(in.data() + 3),
          reinterpret_cast<unsigned char*>(out.data() + 3),
          reinterpret_cast<const unsigned char*>(key.data()), count);
    EXPECT_EQ(out, "###" + expected + "###");
    EXPECT_EQ(in, "xyz" + plain);
    unsigned char* place = reinterpret_cast<unsigned char*>(in.data() + 3);
    Crypt(GetParam(), false, place, place,
          reinterpret_cast<const unsigned char*>(key.data()), count);
    EXPECT_EQ(in, "xyz" + expected);
    Crypt(GetParam(), true, place, place,
          reinterpret_cast<const unsigned char*>(key.data()), count);
    EXPECT_EQ(in, "xyz" + plain);
  }
}

// Output at every distance from a 64-byte line that is a multiple of 4
// (AVX-512 puts such output together line by line) and a few others, over
// several passes, out of place and in place, with the bytes on either side
// of the blocks kept.
TEST_P(DesPath, OutputAtEveryDistanceFromALine) {
  const std::size_t count = 3 * PassBlocks(GetParam()) + 5;
  std::mt19937_64 random(23);
  const std::string key = Random(random, 8);
  const std::string plain = Random(random, count * 8);
  const std::string expected = DesEcb(plain, key, true);
  const auto* k = reinterpret_cast<const unsigned char*>(key.data());
  std::vector<unsigned char> storage(count * 8 + 256);
  unsigned char* line =
      storage.data() +
      (64 - reinterpret_cast<std::uintptr_t>(storage.data()) % 64);
  for (std::size_t offset = 1; offset < 64; ++offset) {
    if (offset % 4 != 0 && offset % 7 != 0) continue;
    SCOPED_TRACE(offset);
    std::fill(storage.begin(), storage.end(), '#');
    unsigned char* out = line + offset;
    Crypt(GetParam(), false,
          reinterpret_cast<const unsigned char*>(plain.data()), out, k, count);
    const std::string around(reinterpret_cast<char*>(out - offset),
                             count * 8 + 128);
    EXPECT_EQ(around, std::string(offset, '#') + expected +
                          std::string(128 - offset, '#'));
    Crypt(GetParam(), true, out, out, k, count);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), count * 8), plain);
    EXPECT_EQ(out[-1], '#');
    EXPECT_EQ(out[count * 8], '#');
  }
}

// Keys changing from call to call, so that stale cached round keys show.
TEST_P(DesPath, KeyChangesBetweenCalls) {
  std::mt19937_64 random(5);
  std::string key = Random(random, 8);
  for (int i = 0; i < 2000; ++i) {
    if (i % 3 != 0) key = Random(random, 8);
    const std::string plain = Random(random, 8 * (1 + i % 5));
    ASSERT_EQ(Encrypt(plain, key), DesEcb(plain, key, true)) << i;
  }
}

// The key may lie in the buffer that is overwritten.
TEST_P(DesPath, KeyInsideTheBuffer) {
  std::mt19937_64 random(9);
  std::string buffer = Random(random, 3 * PassBlocks(GetParam()) * 8);
  const std::string key = buffer.substr(8, 8);
  const std::string expected = DesEcb(buffer, key, true);
  auto* data = reinterpret_cast<unsigned char*>(buffer.data());
  Crypt(GetParam(), false, data, data, data + 8, buffer.size() / 8);
  EXPECT_EQ(buffer, expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, DesPath, ::testing::ValuesIn(kAllPaths),
                         [](const auto& param_info) {
                           return std::string(PathName(param_info.param));
                         });

TEST(DesPaths, TheWordPathIsAlwaysThere) {
  EXPECT_TRUE(PathAvailable(Path::kWord64));
  EXPECT_TRUE(PathAvailable(DefaultPath()));
}

}  // namespace
}  // namespace ovalith::des
