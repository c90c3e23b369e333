// Start-up through the scripted front end on the in-memory system: from the
// command line to the file, the mode and an unattended run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scripted_run.h"
#include "startup/usage.h"
#include "test_util.h"
#include "ui/frm_main.h"

namespace ovalith {
namespace {

using test::Disk;
using test::ExpectedContainer;
using test::In;
using test::kDir;
using test::MemorySystem;
using test::RunOn;
using ::testing::ElementsAre;

TEST(Startup, CommandLinesThatNameNoFileEndWithTheUsageMessage) {
  Disk fs;
  fs.Write(In("a.txt"), "data");
  for (std::vector<std::string> args : {std::vector<std::string>{},
                                        {"   "},
                                        {"/pw=abcd"},
                                        {"missing.txt"},
                                        {"/pw=abcd " + In("a.txt")},
                                        {In("A.TXT")},
                                        {In("a.txt/")},
                                        {In("a.txt/b.txt")},
                                        {"\"" + In("missing\"")}}) {
    SCOPED_TRACE(::testing::PrintToString(args));
    ScriptedView p;
    EXPECT_EQ(RunOn(fs, p, args), kUsageMessage);
    EXPECT_NE(p.UsageCause(), "");
    ASSERT_GE(p.log.size(), 3u);
    EXPECT_EQ(p.log[p.log.size() - 3],
              std::string("usage text: ") + kUsageText);
    EXPECT_EQ(p.log.back(), "unloaded");
  }
  EXPECT_THAT(fs.Files(), ElementsAre("a.txt"));
}

TEST(Startup, ADirectoryWithATrailingSeparatorFailsAsTheDirectoryDoes) {
  Disk fs;
  fs.MakeDirectory(In("dir"));
  for (const std::string& path : {In("dir"), In("dir/"), In("dir//")}) {
    SCOPED_TRACE(path);
    ScriptedView p;
    EXPECT_EQ(RunOn(fs, p, {path, "/pw=abcd"}), kUsageMessage);
    EXPECT_THAT(p.UsageCause(), ::testing::HasSubstr("is a directory"));
  }
}

TEST(Startup, UsageTextIsExact) {
  EXPECT_STREQ(kUsageText,
               "File not found !!\r\n\r\nUsage :\r\n"
               "Ovalith filename [/pw=password]\r\n"
               "  filename : file to encrypt/decrypt\r\n"
               "  /pw : Encrypts/decrypts without user interaction");
}

TEST(Startup, PathsThatNameAFile) {
  Disk fs;
  fs.MakeDirectory(In("sub dir"));
  fs.Write(In("sub dir/my file.txt"), "data");
  std::string expected = ExpectedContainer("data", "txt", "abcd");
  for (std::vector<std::string> args :
       {std::vector<std::string>{In("sub dir/my file.txt"), "/pw=abcd"},
        {"sub dir/my file.txt", "/pw=abcd"},      // relative with directory
        {"\"sub dir/my file.txt\"", "/pw=abcd"},  // quoted
        {In("sub"), "dir/my", "file.txt", "/pw=abcd"},  // split by spaces
        {"   sub dir/my file.txt   ", "/pw=abcd   "},
        {"./sub dir/../sub dir//my file.txt", "/pw=abcd"}}) {
    SCOPED_TRACE(::testing::PrintToString(args));
    fs.SetWorkingDirectory(kDir);  // the last run moved it
    ScriptedView p;
    EXPECT_EQ(RunOn(fs, p, args), kCompleted);
    EXPECT_EQ(p.text[Control::lblFile], "my file.txt");
    EXPECT_EQ(fs.WorkingDirectory(), In("sub dir"));
    EXPECT_EQ(fs.Read(In("sub dir/my file.ov2")), expected);
    fs.Remove(In("sub dir/my file.ov2"));
  }
  // A bare name is a file in the current directory.
  fs.SetWorkingDirectory(In("sub dir"));
  ScriptedView bare;
  EXPECT_EQ(RunOn(fs, bare, {"my", "file.txt", "/pw=abcd"}), kCompleted);
  EXPECT_EQ(fs.Read(In("sub dir/my file.ov2")), expected);
}

TEST(Startup, AnotherLetterCaseFindsTheListedNameOnlyWhereTheSystemFoldsCase) {
  Disk fs;
  fs.SetCaseInsensitive(true);
  fs.Write(In("Report.txt"), "data");
  ScriptedView p;
  EXPECT_EQ(RunOn(fs, p, {In("REPORT.TXT"), "/pw=abcd"}), kCompleted);
  // The listed name is shown and names the output.
  EXPECT_EQ(p.text[Control::lblFile], "Report.txt");
  EXPECT_THAT(fs.Files(), ElementsAre("Report.ov2", "Report.txt"));

  fs.SetCaseInsensitive(false);
  ScriptedView sensitive;
  EXPECT_EQ(RunOn(fs, sensitive, {In("REPORT.TXT"), "/pw=abcd"}),
            kUsageMessage);
  EXPECT_EQ(sensitive.UsageCause(), In("REPORT.TXT") + ": no such file");

  // Where both spellings are listed, the exact name wins.
  fs.Write(In("report.txt"), "other");
  fs.SetCaseInsensitive(true);
  ScriptedView exact;
  exact.PressCancel();
  EXPECT_EQ(RunOn(fs, exact, {In("report.txt")}), kNotCompleted);
  EXPECT_EQ(exact.text[Control::lblFile], "report.txt");
}

TEST(Startup, ModeFollowsTheTextAfterTheFirstDot) {
  Disk fs;
  for (auto [name, decrypt] :
       std::vector<std::pair<std::string, bool>>{{"report.txt", false},
                                                 {"report.ov2", true},
                                                 {"report.OV2", false},
                                                 {"a.b.ov2", false},
                                                 {"ov2", true},
                                                 {".ov2", true}}) {
    SCOPED_TRACE(name);
    fs.Write(In(name), "");
    ScriptedView p;
    EXPECT_EQ(RunOn(fs, p, {In(name)}), kNotCompleted);
    EXPECT_EQ(p.text[Control::frmMain], decrypt ? "Decrypt" : "");
    EXPECT_EQ(p.visible.count(Control::txtPW2) == 1, decrypt);
    EXPECT_EQ(p.log.back(), "unloaded");
  }
}

TEST(Startup, PasswordOptionTakesTwentyCharactersAndFillsBothBoxes) {
  Disk fs;
  fs.Write(In("a.txt"), "data");
  ScriptedView p;
  EXPECT_EQ(RunOn(fs, p, {In("a.txt"), "/pw=12345678901234567890 and more"}),
            kCompleted);
  EXPECT_EQ(p.text[Control::txtPW1], "12345678901234567890");
  EXPECT_EQ(p.text[Control::txtPW2], "12345678901234567890");
  EXPECT_EQ(fs.Read(In("a.ov2")),
            ExpectedContainer("data", "txt", "12345678901234567890"));
}

TEST(Startup, RefusedUnattendedRunShowsTheWindowWithThePasswordFilledIn) {
  Disk fs;
  fs.Write(In("a.txt"), "data");
  ScriptedView p;
  p.PressOkAsIs();  // still too short
  p.PressCancel();
  EXPECT_EQ(RunOn(fs, p, {In("a.txt"), "/pw=abc"}), kNotCompleted);
  EXPECT_EQ(p.text[Control::txtPW1], "abc");
  EXPECT_EQ(p.text[Control::txtPW2], "abc");
  EXPECT_THAT(
      p.log,
      ElementsAre("progress: Encrypting...",
                  "information: The password must be at least 4 characters.",
                  "progress hidden", "main window shown",
                  "progress: Encrypting...",
                  "information: The password must be at least 4 characters.",
                  "progress hidden", "main window shown", "unloaded"));
  EXPECT_THAT(fs.Files(), ElementsAre("a.txt"));
}

TEST(Startup, NamesLongerThanSixtyFourCharactersAreNotFound) {
  Disk fs;
  std::string name64 = std::string(60, 'n') + ".txt";
  std::string name65 = std::string(61, 'n') + ".txt";
  fs.Write(In(name64), "a");
  fs.Write(In(name65), "b");
  ScriptedView fits;
  EXPECT_EQ(RunOn(fs, fits, {In(name64), "/pw=abcd"}), kCompleted);
  ScriptedView cut;
  EXPECT_EQ(RunOn(fs, cut, {In(name65), "/pw=abcd"}), kUsageMessage);
}

TEST(Startup, DirectoryPassesTheLookUpButCannotBeEncrypted) {
  Disk fs;
  fs.MakeDirectory(In("folder"));
  ScriptedView p;
  EXPECT_EQ(RunOn(fs, p, {In("folder"), "/pw=abcd"}), kUsageMessage);
  EXPECT_EQ(p.UsageCause(), In("folder") + ": is a directory");
  EXPECT_THAT(fs.Files(), ElementsAre("folder"));
}

TEST(Startup, UnreadableFileEndsWithUsage) {
  Disk fs;
  fs.Write(In("secret.txt"), "cannot read me", 0);
  ScriptedView p;
  EXPECT_EQ(RunOn(fs, p, {In("secret.txt"), "/pw=abcd"}), kUsageMessage);
  EXPECT_EQ(p.UsageCause(), In("secret.txt") + ": Permission denied");
  EXPECT_THAT(fs.Files(), ElementsAre("secret.txt"));
}

}  // namespace
}  // namespace ovalith
