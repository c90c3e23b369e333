// The built program run as a user would from a script: arguments, standard
// input without a terminal, standard error, exit status, and the files it
// leaves.  Containers are checked against an independent DES.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "child_process.h"
#include "name_cases.h"
#include "test_util.h"

namespace ovalith {
namespace {

namespace fs = std::filesystem;
using test::ExpectedContainer;
using test::ListDir;
using test::RandomBytes;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

using Result = test::ChildResult;

Result Ovalith(const std::vector<std::string>& args,
               const std::string& input = "") {
  return test::RunOvalith(args, {.input = input});
}

using test::kUsageLines;

TEST(Program, RoundTripsFromNothingToSeveralMebibytes) {
  TempDir dir;
  for (std::size_t size : {0u, 1u, 7u, 8u, 9u, 4095u, 65536u, 3u << 20}) {
    SCOPED_TRACE(size);
    std::string plain = RandomBytes(size, static_cast<unsigned>(size) + 3);
    WriteFile("data.bin", plain);
    Result enc = Ovalith({"data.bin", "/pw=correct horse"});
    ASSERT_EQ(enc.status, 0) << enc.err;
    EXPECT_EQ(enc.err, "");
    EXPECT_TRUE(ReadFile("data.ov2") ==
                ExpectedContainer(plain, "bin", "correct horse"));
    fs::remove("data.bin");
    Result dec = Ovalith({"data.ov2", "/pw=correct horse"});
    ASSERT_EQ(dec.status, 0) << dec.err;
    EXPECT_TRUE(ReadFile("data.bin") == plain);
    EXPECT_THAT(ListDir(dir.path()), ElementsAre("data.bin", "data.ov2"));
    fs::remove("data.ov2");
  }
}

TEST(Program, PasswordsFromStandardInputAreTakenExactly) {
  TempDir dir;
  WriteFile("notes.txt", "some notes");
  // Spaces belong to the password; the second line must repeat it.
  Result enc = Ovalith({"notes.txt"}, " pw with spaces \n pw with spaces \n");
  ASSERT_EQ(enc.status, 0) << enc.err;
  EXPECT_EQ(ReadFile("notes.ov2"),
            ExpectedContainer("some notes", "txt", " pw with spaces "));
  fs::remove("notes.txt");
  Result dec = Ovalith({"notes.ov2"}, " pw with spaces \n");
  ASSERT_EQ(dec.status, 0) << dec.err;
  EXPECT_EQ(ReadFile("notes.txt"), "some notes");
}

TEST(Program, RefusalsShowTheirMessagesAndEndOfInputEndsWithStatusTwo) {
  TempDir dir;
  WriteFile("a.txt", "data");
  Result differ = Ovalith({"a.txt"}, "abcd\nabce\n");
  EXPECT_EQ(differ.status, 2);
  EXPECT_THAT(differ.err, HasSubstr("Both passwords are not equal !!"));
  Result shorter = Ovalith({"a.txt", "/pw=abc"});
  EXPECT_EQ(shorter.status, 2);
  EXPECT_THAT(shorter.err,
              HasSubstr("The password must be at least 4 characters."));
  // Refused, then corrected on the next try.
  Result corrected = Ovalith({"a.txt"}, "abcd\nabce\nabcd\nabcd\n");
  EXPECT_EQ(corrected.status, 0) << corrected.err;
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2", "a.txt"));

  Result wrong = Ovalith({"a.ov2", "/pw=nope"});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_THAT(wrong.err,
              HasSubstr("Wrong password or not an Ovalith 2.0 file"));
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2", "a.txt"));
}

TEST(Program, OverwriteQuestionIsAnsweredFromStandardInput) {
  TempDir dir;
  WriteFile("a.txt", "new");
  WriteFile("a.ov2", "old");
  for (const char* no : {"", "n\n", "no\n", "maybe\n"}) {
    Result r = Ovalith({"a.txt", "/pw=abcd"}, no);
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, HasSubstr("File already exists !\nOverwrite ? [y/N]"));
    EXPECT_EQ(ReadFile("a.ov2"), "old");
  }
  for (const char* yes : {"y\n", "YES\n"}) {
    WriteFile("a.ov2", "old");
    Result r = Ovalith({"a.txt", "/pw=abcd"}, yes);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile("a.ov2"), ExpectedContainer("new", "txt", "abcd"));
  }
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2", "a.txt"));
}

TEST(Program, FailuresShowTheUsageMessageAndItsCause) {
  TempDir dir;
  Result none = Ovalith({});
  EXPECT_EQ(none.status, 1);
  EXPECT_THAT(none.err, HasSubstr(kUsageLines));
  Result missing = Ovalith({"missing.txt", "/pw=abcd"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err, HasSubstr(kUsageLines));
  EXPECT_THAT(missing.err, HasSubstr("missing.txt: no such file"));
  // The cause comes after the six lines.
  EXPECT_EQ(missing.err.find(kUsageLines), 0u);

  // A valid header, then less than a block.
  WriteFile("damaged.ov2", test::EncryptBlocks("Ov2txt  ", "abcd") + "xyz");
  Result damaged = Ovalith({"damaged.ov2", "/pw=abcd"});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_THAT(damaged.err, HasSubstr("unexpected end of file"));
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("damaged.ov2"));
}

TEST(Program, MissingCipherLibraryEndsWithStatusOneAndLeavesNothing) {
  TempDir dir;
  // A copy of the program alone, where no cipher library lies beside it.
  fs::copy_file(test::ProgramPath(), dir / "lonely");
  WriteFile("a.txt", "data");
  Result r = test::RunChild({dir / "lonely", "a.txt", "/pw=abcd"});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr(kUsageLines));
  EXPECT_THAT(r.err, HasSubstr("libovalith.so"));
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.txt", "lonely"));
}

TEST(Program, NamesOfContainersAndRestoredFiles) {
  for (const test::NameCase& c : test::kNameCases) {
    SCOPED_TRACE(c.plain);
    TempDir dir;
    WriteFile(c.plain, "content");
    ASSERT_EQ(Ovalith({c.plain, "/pw=abcd"}).status, 0);
    EXPECT_EQ(ReadFile(c.container),
              ExpectedContainer("content", c.extension, "abcd"));
    fs::remove(c.plain);
    ASSERT_EQ(Ovalith({c.container, "/pw=abcd"}).status, 0);
    EXPECT_THAT(ListDir(dir.path()),
                UnorderedElementsAre(c.container, c.restored));
    EXPECT_EQ(ReadFile(c.restored), "content");
  }
}

TEST(Program, PathsRelativeQuotedAndWithSpaces) {
  TempDir dir;
  fs::create_directories("my docs/inner");
  WriteFile("my docs/inner/letter.txt", "dear");
  std::string expected = ExpectedContainer("dear", "txt", "abcd");
  for (std::vector<std::string> args :
       {std::vector<std::string>{"my docs/inner/letter.txt", "/pw=abcd"},
        {"my", "docs/inner/letter.txt", "/pw=abcd"},
        {"\"" + dir / "my docs/inner/letter.txt\"", "/pw=abcd"}}) {
    SCOPED_TRACE(::testing::PrintToString(args));
    Result r = Ovalith(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile("my docs/inner/letter.ov2"), expected);
    fs::remove("my docs/inner/letter.ov2");
  }
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("my docs"));
}

TEST(Program, PasswordsAreFoldedInAWindowsCodePageAsOnWindows) {
  TempDir dir;
  WriteFile("a.txt", "secret");
  // "été-clé" typed on Linux gives the key Windows-1252 gives on Windows.
  Result enc = Ovalith({"a.txt", "/pw=\xc3\xa9t\xc3\xa9-cl\xc3\xa9"});
  ASSERT_EQ(enc.status, 0) << enc.err;
  EXPECT_EQ(ReadFile("a.ov2"),
            ExpectedContainer("secret", "txt", "\xe9t\xe9-cl\xe9"));
  fs::remove("a.ov2");

  // A character Windows-1252 lacks is refused, not folded into something.
  const std::string cyrillic =
      "\xd0\xbf\xd0\xb0\xd1\x80\xd0\xbe\xd0\xbb\xd1\x8c";
  Result refused = Ovalith({"a.txt"}, cyrillic + "\n" + cyrillic + "\n");
  EXPECT_EQ(refused.status, 2);
  EXPECT_THAT(refused.err, HasSubstr("Windows-1252 lacks"));
  EXPECT_FALSE(fs::exists("a.ov2"));

  // Another code page by the setting; "utf-8" keeps the bytes as typed.
  Result cp1251 = test::RunOvalith({"a.txt", "/pw=" + cyrillic},
                                   {.env = {"OVALITH_CODEPAGE=1251"}});
  ASSERT_EQ(cp1251.status, 0) << cp1251.err;
  EXPECT_EQ(ReadFile("a.ov2"),
            ExpectedContainer("secret", "txt", "\xef\xe0\xf0\xee\xeb\xfc"));
  fs::remove("a.ov2");
  Result utf8 = test::RunOvalith({"a.txt", "/pw=" + cyrillic},
                                 {.env = {"OVALITH_CODEPAGE=utf-8"}});
  ASSERT_EQ(utf8.status, 0) << utf8.err;
  EXPECT_EQ(ReadFile("a.ov2"), ExpectedContainer("secret", "txt", cyrillic));

  Result unknown = test::RunOvalith({"a.txt", "/pw=abcd"},
                                    {.env = {"OVALITH_CODEPAGE=klingon"}});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_THAT(unknown.err, HasSubstr("OVALITH_CODEPAGE: klingon"));
}

}  // namespace
}  // namespace ovalith
