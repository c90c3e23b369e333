// The built program given several files, as `ovalith *.txt` gives them:
// each file done on its own, one password for the set, what was not done
// reported at the end, and the exit status telling which.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "child_process.h"
#include "test_util.h"

namespace ovalith {
namespace {

namespace fs = std::filesystem;
using test::ChildResult;
using test::ExpectedContainer;
using test::ListDir;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

ChildResult Ovalith(const std::vector<std::string>& args,
                    const std::string& input = "") {
  return test::RunOvalith(args, {.input = input});
}

TEST(SeveralFiles, EachIsEncryptedThenEachRestoredInBothModes) {
  TempDir dir;
  WriteFile("a.txt", "alpha");
  WriteFile("b.doc", std::string(100, 'b'));
  fs::create_directory("sub");
  WriteFile("sub/c", "");
  ChildResult enc = Ovalith({"a.txt", "b.doc", "sub/c", "/pw=set password"});
  ASSERT_EQ(enc.status, 0) << enc.err;
  EXPECT_EQ(enc.err, "");
  EXPECT_EQ(ReadFile("a.ov2"),
            ExpectedContainer("alpha", "txt", "set password"));
  EXPECT_EQ(ReadFile("b.ov2"),
            ExpectedContainer(std::string(100, 'b'), "doc", "set password"));
  // A name without "." gives a container named "ov2", beside its file.
  EXPECT_EQ(ReadFile("sub/ov2"), ExpectedContainer("", "c", "set password"));

  for (const char* name : {"a.txt", "b.doc", "sub/c"}) fs::remove(name);
  ChildResult dec = Ovalith({"a.ov2", "b.ov2", "sub/ov2", "/pw=set password"});
  ASSERT_EQ(dec.status, 0) << dec.err;
  EXPECT_EQ(ReadFile("a.txt"), "alpha");
  EXPECT_EQ(ReadFile("b.doc"), std::string(100, 'b'));
  EXPECT_EQ(ReadFile("sub/c"), "");
}

TEST(SeveralFiles, AMixedSetAsksTwiceAndDoesEachByItsOwnName) {
  TempDir dir;
  WriteFile("plain.txt", "to protect");
  WriteFile("old.ov2", ExpectedContainer("to restore", "md", "abcd"));
  ChildResult run = Ovalith({"plain.txt", "old.ov2"}, "abcd\nabcd\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile("plain.ov2"),
            ExpectedContainer("to protect", "txt", "abcd"));
  EXPECT_EQ(ReadFile("old.md"), "to restore");
}

TEST(SeveralFiles, OneThatFailsIsReportedAndTheOthersGoOn) {
  TempDir dir;
  WriteFile("a.txt", "first");
  WriteFile("c.txt", "third");
  WriteFile("bad.ov2", ExpectedContainer("x", "txt", "abcd").substr(0, 16));
  ChildResult run =
      Ovalith({"a.txt", "missing.txt", "bad.ov2", "c.txt", "/pw=abcd"});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("2 of 4 files were not done"));
  EXPECT_THAT(run.err, HasSubstr("missing.txt: no such file"));
  EXPECT_THAT(run.err, HasSubstr("damaged or truncated"));
  EXPECT_THAT(run.err, Not(HasSubstr("Usage")));
  EXPECT_EQ(ReadFile("a.ov2"), ExpectedContainer("first", "txt", "abcd"));
  EXPECT_EQ(ReadFile("c.ov2"), ExpectedContainer("third", "txt", "abcd"));
  EXPECT_THAT(ListDir(dir.path()),
              ElementsAre("a.ov2", "a.txt", "bad.ov2", "c.ov2", "c.txt"));
}

TEST(SeveralFiles, AnOutputOfThisRunIsNeverReplacedByALaterFile) {
  TempDir dir;
  WriteFile("report.txt", "text");
  WriteFile("report.doc", "document");
  // Both become report.ov2; the same file named twice too.  "y" would
  // replace anything: nothing of this run may be replaced all the same.
  ChildResult run = Ovalith(
      {"report.txt", "report.doc", "report.txt", "/pw=abcd"}, "y\ny\ny\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("was written by an earlier file of this run"));
  EXPECT_EQ(ReadFile("report.ov2"), ExpectedContainer("text", "txt", "abcd"));
  EXPECT_THAT(run.err, Not(HasSubstr("Overwrite")));
}

TEST(SeveralFiles, AContainerUnderAnotherPasswordIsSkipped) {
  TempDir dir;
  WriteFile("mine.ov2", ExpectedContainer("mine", "txt", "abcd"));
  WriteFile("theirs.ov2", ExpectedContainer("theirs", "log", "other"));
  WriteFile("also.ov2", ExpectedContainer("also", "csv", "abcd"));
  ChildResult run = Ovalith({"mine.ov2", "theirs.ov2", "also.ov2", "/pw=abcd"});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err,
              HasSubstr("theirs.ov2: it does not open with this password"));
  EXPECT_EQ(ReadFile("mine.txt"), "mine");
  EXPECT_EQ(ReadFile("also.csv"), "also");
  EXPECT_FALSE(fs::exists("theirs.log"));
}

TEST(SeveralFiles, AMistypedPasswordCostsOnlyARetypingAndWritesNothing) {
  TempDir dir;
  WriteFile("a.txt", "plain");
  WriteFile("b.ov2", ExpectedContainer("restored", "txt", "right"));
  // The first container tells before anything is written; the next lines
  // are the retyped passwords.
  ChildResult run = Ovalith({"a.txt", "b.ov2"}, "wrong\nwrong\nright\nright\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.err, HasSubstr("Wrong password or not an Ovalith 2.0 file"));
  EXPECT_EQ(ReadFile("a.ov2"), ExpectedContainer("plain", "txt", "right"));
  EXPECT_EQ(ReadFile("b.txt"), "restored");

  fs::remove("a.ov2");
  fs::remove("b.txt");
  ChildResult gave_up = Ovalith({"a.txt", "b.ov2"}, "wrong\nwrong\n");
  EXPECT_EQ(gave_up.status, 2);
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.txt", "b.ov2"));
}

TEST(SeveralFiles, OverwriteAnswersComeFromStandardInputOnePerFile) {
  TempDir dir;
  for (const char* stem : {"a", "b", "c"}) {
    WriteFile(std::string(stem) + ".txt", stem);
    WriteFile(std::string(stem) + ".ov2", "older");
  }
  ChildResult run =
      Ovalith({"a.txt", "b.txt", "c.txt", "/pw=abcd"}, "y\nn\ny\n");
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_THAT(run.err, HasSubstr("File already exists !\nb.ov2\nOverwrite ?"));
  EXPECT_THAT(run.err, HasSubstr("b.ov2 exists and was kept"));
  EXPECT_EQ(ReadFile("a.ov2"), ExpectedContainer("a", "txt", "abcd"));
  EXPECT_EQ(ReadFile("b.ov2"), "older");
  EXPECT_EQ(ReadFile("c.ov2"), ExpectedContainer("c", "txt", "abcd"));

  // "c" stops the set: what is not reached stays as it was.
  for (const char* name : {"a.ov2", "b.ov2", "c.ov2"}) WriteFile(name, "older");
  ChildResult stopped =
      Ovalith({"a.txt", "b.txt", "c.txt", "/pw=abcd"}, "y\nc\ny\n");
  EXPECT_EQ(stopped.status, 2);
  EXPECT_THAT(stopped.err, HasSubstr("c.txt: not reached"));
  EXPECT_EQ(ReadFile("a.ov2"), ExpectedContainer("a", "txt", "abcd"));
  EXPECT_EQ(ReadFile("b.ov2"), "older");
  EXPECT_EQ(ReadFile("c.ov2"), "older");
}

TEST(SeveralFiles, ASignalStopsTheSetCleanly) {
  TempDir dir;
  WriteFile("done.txt", "small");
  // Large, and on the slowest cipher path, so that the run is still going
  // when the signal comes; sparse, so it costs no disk.
  WriteFile("big.bin", "");
  fs::resize_file("big.bin", std::uintmax_t{1} << 30);
  WriteFile("later.txt", "never reached");
  test::ChildProcess child(
      {test::ProgramPath(), "done.txt", "big.bin", "later.txt", "/pw=abcd"},
      {.env = {"OVALITH_DES_PATH=word64"}});
  // Wait until the big file's output is being written.
  for (int i = 0; i < 500; ++i) {
    bool writing = false;
    for (const std::string& name : ListDir(dir.path()))
      writing |= name.starts_with("big.ov2.ovalith-partial-");
    if (writing) break;
    ::usleep(10000);
  }
  child.Kill(SIGINT);
  ChildResult run = child.Wait();
  ASSERT_EQ(run.status, 2) << "0: the run ended before the signal; " << run.err;
  EXPECT_THAT(run.err, HasSubstr("big.bin: stopped before it was done"));
  EXPECT_THAT(run.err, HasSubstr("later.txt: not reached"));
  EXPECT_EQ(ReadFile("done.ov2"), ExpectedContainer("small", "txt", "abcd"));
  EXPECT_THAT(ListDir(dir.path()),
              ElementsAre("big.bin", "done.ov2", "done.txt", "later.txt"));
}

TEST(SeveralFiles, ArgumentsThatTogetherNameAFileStillNameThatOne) {
  TempDir dir;
  WriteFile("my notes.txt", "spaces");
  WriteFile("my", "a file of its own");
  ChildResult run = Ovalith({"my", "notes.txt", "/pw=abcd"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile("my notes.ov2"),
            ExpectedContainer("spaces", "txt", "abcd"));
  EXPECT_FALSE(fs::exists("ov2"));
}

TEST(SeveralFiles, NoneOfThemFoundIsTheUsageMessage) {
  TempDir dir;
  ChildResult run = Ovalith({"x.txt", "y.txt", "/pw=abcd"});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr(test::kUsageLines));
  EXPECT_THAT(run.err, HasSubstr("x.txt: no such file (and 1 more)"));
}

TEST(CommandLineHabits, HelpVersionAndTheEndOfOptions) {
  TempDir dir;
  ChildResult help = Ovalith({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, HasSubstr("Usage: ovalith FILE... [/pw=PASSWORD]"));
  EXPECT_EQ(help.err, "");
  ChildResult version = Ovalith({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_THAT(version.out, ::testing::StartsWith("ovalith 2."));

  WriteFile("--help", "a file named like an option");
  ChildResult named = Ovalith({"--", "--help", "/pw=abcd"});
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(named.out, "");
  EXPECT_EQ(ReadFile("ov2"),
            ExpectedContainer("a file named like an option", "--hel", "abcd"));
}

}  // namespace
}  // namespace ovalith
