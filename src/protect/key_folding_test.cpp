#include "protect/key_folding.h"

#include <gtest/gtest.h>

#include "platform/failure.h"

namespace ovalith {
namespace {

std::string Key(std::string_view password) { return FoldKey(password).Text(); }

TEST(XorS, CombinesCharacterByCharacterAsLongAsTheFirst) {
  EXPECT_EQ(XorS("", "anything"), "");
  EXPECT_EQ(XorS("ab", "  xyz"), "AB");
  EXPECT_THROW(XorS("abc", "ab"), Failure);
}

TEST(FoldKey, ShortPasswordsFlipTheCaseBitAndEndInZeros) {
  EXPECT_EQ(Key(""), std::string(8, '\0'));
  EXPECT_EQ(Key("abcd"), std::string("ABCD\0\0\0\0", 8));
  EXPECT_EQ(Key("ABCDEFGH"), "abcdefgh");
  EXPECT_EQ(Key("\x20"), std::string(8, '\0'));
}

TEST(FoldKey, ChunksOfEightAreCombined) {
  // Length 9: the second chunk is "I" and 7 spaces.
  // The first byte is ' ' ^ 'A' ^ 'I'; the others meet the padding twice.
  EXPECT_EQ(Key("ABCDEFGHI"), "(BCDEFGH");
  // Length 16 gains no chunk of spaces.
  EXPECT_EQ(Key("ABCDEFGHABCDEFGH"), std::string(8, ' '));
  // Chunk order does not matter; two chunks of spaces cancel.
  EXPECT_EQ(Key("12345678abcdefgh"), Key("abcdefgh12345678"));
  EXPECT_EQ(Key("secret"), Key("secret" + std::string(16, ' ')));
  // Every byte value may occur.
  EXPECT_EQ(Key(std::string("\xff\x80", 2)),
            std::string("\xdf\xa0\0\0\0\0\0\0", 8));
}

}  // namespace
}  // namespace ovalith
