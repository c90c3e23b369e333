#include "protect/container.h"

#include <gtest/gtest.h>

#include "name_cases.h"
#include "platform/failure.h"

namespace ovalith {
namespace {

TEST(Container, HeaderHoldsTheFirstFiveCharactersOfTheExtension) {
  EXPECT_EQ(BuildHeader("txt").Text(), "Ov2txt  ");
  EXPECT_EQ(BuildHeader("tar.gz").Text(), "Ov2tar.g");
  EXPECT_EQ(BuildHeader("").Text(), "Ov2     ");
  EXPECT_EQ(BuildHeader(" a ").Text(), "Ov2 a   ");
}

TEST(Container, HeaderCheckLooksAtTheFirstThreeCharactersOnly) {
  EXPECT_TRUE(CheckHeader(BlockType::FromText("Ov2\xff\xff\xff\xff\xff")));
  EXPECT_FALSE(CheckHeader(BlockType::FromText("ov2txt")));
  EXPECT_FALSE(CheckHeader(BlockType::FromText("Ov")));
}

TEST(Container, StoredExtensionLosesOuterSpacesOnly) {
  EXPECT_EQ(StoredExtension(BlockType::FromText("Ov2 a b ")), "a b");
  EXPECT_EQ(StoredExtension(BlockType::FromText("Ov2")), "");
}

TEST(Container, TrailerCount) {
  EXPECT_EQ(BuildTrailer(4).Text(), "Ov2End.4");
  for (int count = 0; count <= 9; ++count)
    EXPECT_EQ(TrailerCount(BuildTrailer(count)), count);
  // A cut or damaged container ends in some other block.
  EXPECT_THROW(TrailerCount(BlockType::FromText("garbage7")), Failure);
  EXPECT_THROW(TrailerCount(BlockType::FromText("ov2End.7")), Failure);
  EXPECT_THROW(TrailerCount(BlockType::FromText("Ov2End.x")), Failure);
  EXPECT_THROW(TrailerCount(BlockType::FromText("Ov2End.")), Failure);
}

TEST(Container, Names) {
  EXPECT_TRUE(IsContainerName("report.ov2"));
  EXPECT_TRUE(IsContainerName("ov2"));
  EXPECT_FALSE(IsContainerName("report.OV2"));
  EXPECT_FALSE(IsContainerName("a.b.ov2"));
  for (const test::NameCase& c : test::kNameCases) {
    SCOPED_TRACE(c.plain);
    EXPECT_FALSE(IsContainerName(c.plain));
    EXPECT_TRUE(IsContainerName(c.container));
    EXPECT_EQ(ContainerName(c.plain), c.container);
    EXPECT_EQ(StoredExtension(BuildHeader(AfterFirstDot(c.plain))),
              c.extension);
    EXPECT_EQ(RestoredName(c.container, c.extension), c.restored);
  }
}

TEST(Container, EscapeNameShowsControlCharacters) {
  EXPECT_EQ(EscapeName(std::string("a\x1b[2J\0b", 7)), "a\\x1b[2J\\x00b");
  EXPECT_EQ(EscapeName("plain name.txt"), "plain name.txt");
}

}  // namespace
}  // namespace ovalith
