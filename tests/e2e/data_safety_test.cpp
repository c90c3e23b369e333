// The built program where a demanding user could once lose data or safety:
// deep directories, names no container could restore, permissions of a
// replaced file, over-long names, signals a run provokes on itself, cut
// containers, and "/pw=" inside a path.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "child_process.h"
#include "test_util.h"

namespace ovalith {
namespace {

namespace fs = std::filesystem;
using test::ChildOptions;
using test::ChildResult;
using test::EncryptBlocks;
using test::ExpectedContainer;
using test::ListDir;
using test::RandomBytes;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

ChildResult Ovalith(const std::vector<std::string>& args,
                    const ChildOptions& options = {}) {
  return test::RunOvalith(args, options);
}

unsigned Mode(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

// A directory under base whose absolute path is about length characters,
// made of names of up to 100 characters; last names its final component.
std::string DeepDirectory(const std::string& base, std::size_t length,
                          const std::string& last = "end") {
  std::string path = base;
  while (path.size() + 101 + last.size() + 1 < length)
    path += "/" + std::string(100, 'd');
  std::size_t filler = length - path.size() - last.size() - 2;
  if (filler > 0) path += "/" + std::string(filler, 'e');
  path += "/" + last;
  fs::create_directories(path);
  return path;
}

TEST(LongPaths, BareNamesAndAbsolutePathsWorkAtAnyDepth) {
  for (std::size_t length : {300u, 4000u}) {
    SCOPED_TRACE(length);
    TempDir top;
    std::string dir = DeepDirectory(top.path(), length);
    std::string plain = RandomBytes(5000, 11);
    WriteFile(dir + "/notes.txt", plain);

    // A bare name from the directory itself.
    ChildResult enc = Ovalith({"notes.txt", "/pw=abcd"}, {.cwd = dir});
    ASSERT_EQ(enc.status, 0) << enc.err;
    EXPECT_TRUE(ReadFile(dir + "/notes.ov2") ==
                ExpectedContainer(plain, "txt", "abcd"));
    fs::remove(dir + "/notes.txt");
    ChildResult dec = Ovalith({"notes.ov2", "/pw=abcd"}, {.cwd = dir});
    ASSERT_EQ(dec.status, 0) << dec.err;
    EXPECT_TRUE(ReadFile(dir + "/notes.txt") == plain);

    // The absolute path from elsewhere.
    fs::remove(dir + "/notes.ov2");
    enc = Ovalith({dir + "/notes.txt", "/pw=abcd"}, {.cwd = top.path()});
    ASSERT_EQ(enc.status, 0) << enc.err;
    fs::remove(dir + "/notes.txt");
    dec = Ovalith({dir + "/notes.ov2", "/pw=abcd"}, {.cwd = top.path()});
    ASSERT_EQ(dec.status, 0) << dec.err;
    EXPECT_TRUE(ReadFile(dir + "/notes.txt") == plain);
    EXPECT_THAT(ListDir(dir), ElementsAre("notes.ov2", "notes.txt"));
    EXPECT_THAT(ListDir(top.path()), ElementsAre(::testing::_));
  }
}

TEST(LongPaths, ADottedDirectoryNeverNamesTheContainer) {
  TempDir top;
  // A dot in a directory name past the 200th character once became the
  // container's name and "extension".
  std::string dir = DeepDirectory(top.path(), 230, "rel.v2/src");
  WriteFile(dir + "/notes.txt", "data");
  WriteFile(dir + "/old.ov2", ExpectedContainer("old", "dat", "abcd"));
  ChildResult enc = Ovalith({"notes.txt", "/pw=abcd"}, {.cwd = dir});
  ASSERT_EQ(enc.status, 0) << enc.err;
  EXPECT_EQ(ReadFile(dir + "/notes.ov2"),
            ExpectedContainer("data", "txt", "abcd"));
  ChildResult dec = Ovalith({"old.ov2", "/pw=abcd"}, {.cwd = dir});
  ASSERT_EQ(dec.status, 0) << dec.err;
  EXPECT_EQ(ReadFile(dir + "/old.dat"), "old");
  EXPECT_THAT(ListDir(dir),
              ElementsAre("notes.ov2", "notes.txt", "old.dat", "old.ov2"));
  EXPECT_THAT(ListDir(dir + "/.."), ElementsAre("src"));
}

TEST(Names, ANameNoContainerCouldRestoreIsRefusedBeforeAnythingIsWritten) {
  struct Case {
    std::string name;
    std::string shown;  // how the cause names the character
  };
  for (const Case& c : {Case{"rep.txt\r", "\\x0d"}, Case{"notes.t\tx", "\\x09"},
                        Case{"a.\x1b[1m", "\\x1b"}}) {
    SCOPED_TRACE(c.shown);
    TempDir dir;
    WriteFile(c.name, "data");
    ChildResult result = Ovalith({c.name, "/pw=abcd"});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr(test::kUsageLines));
    EXPECT_THAT(result.err, HasSubstr("control character " + c.shown));
    EXPECT_THAT(ListDir(dir.path()), ElementsAre(c.name));
  }
  // A control character before the first dot stays the user's own.
  TempDir dir;
  WriteFile("odd\tname.txt", "data");
  ChildResult result = Ovalith({"odd\tname.txt", "/pw=abcd"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadFile("odd\tname.ov2"),
            ExpectedContainer("data", "txt", "abcd"));
}

TEST(Names, LongerThanSixtyFourCharactersIsAFailureOfItsOwn) {
  TempDir dir;
  std::string a64(64, 'a');
  WriteFile(a64, "the other file");
  WriteFile(a64 + "_report.txt", "the named file");
  ChildResult result = Ovalith({a64 + "_report.txt", "/pw=abcd"});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("names are limited to 64 characters"));
  EXPECT_THAT(ListDir(dir.path()), ElementsAre(a64, a64 + "_report.txt"));
  // Exactly 64 is still a name.
  EXPECT_EQ(Ovalith({a64, "/pw=abcd"}).status, 0);
}

TEST(Permissions, AReplacedFileKeepsItsModeANewOneIsNoMoreOpenThanItsInput) {
  for (mode_t mask : {022u, 077u}) {
    SCOPED_TRACE(mask);
    TempDir dir;
    WriteFile("secret.ov2", ExpectedContainer("plain text", "txt", "abcd"));
    WriteFile("secret.txt", "older plain text");
    ::chmod("secret.txt", 0600);
    ChildResult dec =
        Ovalith({"secret.ov2", "/pw=abcd"}, {.input = "y\n", .umask = mask});
    ASSERT_EQ(dec.status, 0) << dec.err;
    EXPECT_EQ(ReadFile("secret.txt"), "plain text");
    EXPECT_EQ(Mode("secret.txt"), 0600u);

    ::chmod("secret.ov2", 0640);
    ChildResult enc =
        Ovalith({"secret.txt", "/pw=abcd"}, {.input = "y\n", .umask = mask});
    ASSERT_EQ(enc.status, 0) << enc.err;
    EXPECT_EQ(Mode("secret.ov2"), 0640u);

    // A secret stays one: 0600 in, 0600 out, both ways.
    fs::remove("secret.ov2");
    enc = Ovalith({"secret.txt", "/pw=abcd"}, {.umask = mask});
    ASSERT_EQ(enc.status, 0) << enc.err;
    EXPECT_EQ(Mode("secret.ov2"), 0600u);
    fs::remove("secret.txt");
    dec = Ovalith({"secret.ov2", "/pw=abcd"}, {.umask = mask});
    ASSERT_EQ(dec.status, 0) << dec.err;
    EXPECT_EQ(Mode("secret.txt"), 0600u);

    ::chmod("secret.txt", 0644);
    fs::remove("secret.ov2");
    enc = Ovalith({"secret.txt", "/pw=abcd"}, {.umask = mask});
    ASSERT_EQ(enc.status, 0) << enc.err;
    EXPECT_EQ(Mode("secret.ov2"), 0644u & ~mask);
  }
}

TEST(Signals, AFileSizeLimitIsAWriteFailureThatLeavesNothing) {
  TempDir dir;
  WriteFile("big.bin", RandomBytes(4 << 20, 5));
  WriteFile("big.ov2", "older container");
  ChildResult result = Ovalith({"big.bin", "/pw=abcd"},
                               {.input = "y\n", .file_size_limit = 1 << 20});
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr(test::kUsageLines));
  // Named by the file the user knows, never by the temporary one.
  EXPECT_THAT(result.err, HasSubstr("big.ov2: File too large"));
  EXPECT_THAT(result.err, ::testing::Not(HasSubstr("ovalith-partial")));
  EXPECT_EQ(ReadFile("big.ov2"), "older container");
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("big.bin", "big.ov2"));
}

TEST(Signals, AStandardErrorNobodyReadsEndsNothingEarly) {
  TempDir dir;
  WriteFile("a.txt", "data");
  ChildResult missing =
      Ovalith({"missing.txt", "/pw=abcd"}, {.stderr_reader_gone = true});
  EXPECT_EQ(missing.signal, 0);
  EXPECT_EQ(missing.status, 1);
  ChildResult done =
      Ovalith({"a.txt", "/pw=abcd"}, {.stderr_reader_gone = true});
  EXPECT_EQ(done.signal, 0);
  EXPECT_EQ(done.status, 0);
  EXPECT_EQ(ReadFile("a.ov2"), ExpectedContainer("data", "txt", "abcd"));
}

TEST(Containers, CutOrDamagedOnesRestoreNothingAndReplaceNothing) {
  std::string plain = RandomBytes(100000, 9);
  std::string whole = ExpectedContainer(plain, "txt", "abcd");
  struct Case {
    const char* what;
    std::string container;
  };
  // Under another password only the header passes the first check.
  std::string wrong_but_for_the_header =
      EncryptBlocks("Ov2txt  ", "wxyz") + whole.substr(8);
  for (const Case& c :
       {Case{"cut by 16 bytes", whole.substr(0, whole.size() - 16)},
        Case{"cut by a block", whole.substr(0, whole.size() - 8)},
        Case{"header and one block", whole.substr(0, 16)},
        Case{"header and two blocks", whole.substr(0, 24)},
        Case{"the header of another password", wrong_but_for_the_header}}) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    WriteFile("a.ov2", c.container);
    WriteFile("a.txt", "precious");
    ChildResult result = Ovalith(
        {"a.ov2",
         std::string("/pw=") +
             (c.container == wrong_but_for_the_header ? "wxyz" : "abcd")},
        {.input = "y\n"});
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("the container is damaged or truncated"));
    EXPECT_EQ(ReadFile("a.txt"), "precious");
    EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2", "a.txt"));
  }
}

TEST(CommandLine, PwInsideAPathIsPartOfThePath) {
  TempDir dir;
  fs::create_directories("pw=box");
  WriteFile("pw=box/a.txt", "boxed");
  ChildResult enc = Ovalith({dir / "pw=box/a.txt", "/pw=abcd"});
  ASSERT_EQ(enc.status, 0) << enc.err;
  EXPECT_EQ(ReadFile("pw=box/a.ov2"),
            ExpectedContainer("boxed", "txt", "abcd"));
  // Words after the option belong to the password, cut to 20 characters.
  fs::remove("pw=box/a.ov2");
  enc = Ovalith({"pw=box/a.txt", "/pw=one", "two", "three four five six"});
  ASSERT_EQ(enc.status, 0) << enc.err;
  EXPECT_EQ(ReadFile("pw=box/a.ov2"),
            ExpectedContainer("boxed", "txt", "one two three four f"));
}

}  // namespace
}  // namespace ovalith
