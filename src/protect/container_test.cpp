#include "protect/container.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(ContainerName("report.txt"), "report.ov2");
  EXPECT_EQ(ContainerName("archive.tar.gz"), "archive.ov2");
  EXPECT_EQ(ContainerName("README"), "ov2");
  EXPECT_EQ(ContainerName("notes."), "notes.ov2");
  EXPECT_EQ(RestoredName("report.ov2", "txt"), "report.txt");
  EXPECT_EQ(RestoredName("ov2", "READM"), "READM");
  EXPECT_EQ(RestoredName("notes.ov2", ""), "notes.");
}

TEST(Container, EscapeNameShowsControlCharacters) {
  EXPECT_EQ(EscapeName(std::string("a\x1b[2J\0b", 7)), "a\\x1b[2J\\x00b");
  EXPECT_EQ(EscapeName("plain name.txt"), "plain name.txt");
}

}  // namespace
}  // namespace ovalith
