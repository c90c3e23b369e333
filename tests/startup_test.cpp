// Start-up through the scripted front end: from the command line to the
// file, the mode and an unattended run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "scripted_platform.h"
#include "startup/usage.h"
#include "test_util.h"
#include "ui/frm_main.h"

namespace ovalith {
namespace {

using test::ExpectedContainer;
using test::ListDir;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;

std::string UsageCause(const ScriptedPlatform& p) {
  for (const auto& m : p.Messages())
    if (m.starts_with("usage: ")) return m.substr(7);
  return "";
}

TEST(Startup, CommandLinesThatNameNoFileEndWithTheUsageMessage) {
  TempDir dir;
  WriteFile(dir / "a.txt", "data");
  for (std::vector<std::string> args : {std::vector<std::string>{},
                                        {"   "},
                                        {"/pw=abcd"},
                                        {"missing.txt"},
                                        {"/pw=abcd " + dir / "a.txt"},
                                        {dir / "A.TXT"},
                                        {dir.path() + "/"},
                                        {dir / "a.txt", "/PW=abcd"},
                                        {"\"" + dir / "missing\""}}) {
    SCOPED_TRACE(::testing::PrintToString(args));
    ScriptedPlatform p(args);
    EXPECT_EQ(RunProgram(p), kUsageMessage);
    EXPECT_NE(UsageCause(p), "");
    ASSERT_GE(p.log.size(), 2u);
    EXPECT_EQ(p.log[p.log.size() - 3],
              std::string("usage text: ") + kUsageText);
    EXPECT_EQ(p.log.back(), "unloaded");
  }
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.txt"));
}

TEST(Startup, UsageTextIsExact) {
  EXPECT_STREQ(kUsageText,
               "File not found !!\r\n\r\nUsage :\r\n"
               "Ovalith filename [/pw=password]\r\n"
               "  filename : file to encrypt/decrypt\r\n"
               "  /pw : Encrypts/decrypts without user interaction");
}

TEST(Startup, PathsThatNameAFile) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "sub dir").c_str(), 0755), 0);
  WriteFile(dir / "sub dir/my file.txt", "data");
  std::string expected = ExpectedContainer("data", "txt", "abcd");
  for (std::vector<std::string> args :
       {std::vector<std::string>{dir / "sub dir/my file.txt", "/pw=abcd"},
        {"sub dir/my file.txt", "/pw=abcd"},      // relative with directory
        {"\"sub dir/my file.txt\"", "/pw=abcd"},  // quoted
        {dir / "sub", "dir/my", "file.txt", "/pw=abcd"},  // split by spaces
        {"   sub dir/my file.txt   ", "/pw=abcd   "}}) {
    SCOPED_TRACE(::testing::PrintToString(args));
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);  // the last run moved it
    ScriptedPlatform p(args);
    EXPECT_EQ(RunProgram(p), kCompleted);
    EXPECT_EQ(p.text[Control::lblFile], "my file.txt");
    EXPECT_EQ(ReadFile(dir / "sub dir/my file.ov2"), expected);
    std::remove((dir / "sub dir/my file.ov2").c_str());
  }
  // A bare name is a file in the current directory.
  ASSERT_EQ(::chdir((dir / "sub dir").c_str()), 0);
  ScriptedPlatform bare({"my", "file.txt", "/pw=abcd"});
  EXPECT_EQ(RunProgram(bare), kCompleted);
  EXPECT_EQ(ReadFile(dir / "sub dir/my file.ov2"), expected);
}

TEST(Startup, ModeFollowsTheTextAfterTheFirstDot) {
  TempDir dir;
  for (auto [name, decrypt] :
       std::vector<std::pair<std::string, bool>>{{"report.txt", false},
                                                 {"report.ov2", true},
                                                 {"report.OV2", false},
                                                 {"a.b.ov2", false},
                                                 {"ov2", true},
                                                 {".ov2", true}}) {
    SCOPED_TRACE(name);
    WriteFile(dir / name, "");
    ScriptedPlatform p({dir / name});
    EXPECT_EQ(RunProgram(p), kNotCompleted);
    EXPECT_EQ(p.text[Control::frmMain], decrypt ? "Decrypt" : "");
    EXPECT_EQ(p.visible.count(Control::txtPW2) == 1, decrypt);
    EXPECT_EQ(p.log.back(), "unloaded");
  }
}

TEST(Startup, PasswordOptionTakesTwentyCharactersAndFillsBothBoxes) {
  TempDir dir;
  WriteFile(dir / "a.txt", "data");
  ScriptedPlatform p({dir / "a.txt", "/pw=12345678901234567890 and more"});
  EXPECT_EQ(RunProgram(p), kCompleted);
  EXPECT_EQ(p.text[Control::txtPW1], "12345678901234567890");
  EXPECT_EQ(p.text[Control::txtPW2], "12345678901234567890");
  EXPECT_EQ(ReadFile(dir / "a.ov2"),
            ExpectedContainer("data", "txt", "12345678901234567890"));
}

TEST(Startup, RefusedUnattendedRunShowsTheWindowWithThePasswordFilledIn) {
  TempDir dir;
  WriteFile(dir / "a.txt", "data");
  ScriptedPlatform p({dir / "a.txt", "/pw=abc"});
  p.PressOkAsIs();  // still too short
  p.PressCancel();
  EXPECT_EQ(RunProgram(p), kNotCompleted);
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
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.txt"));
}

TEST(Startup, NamesLongerThanSixtyFourCharactersAreNotFound) {
  TempDir dir;
  std::string name64 = std::string(60, 'n') + ".txt";
  std::string name65 = std::string(61, 'n') + ".txt";
  WriteFile(dir / name64, "a");
  WriteFile(dir / name65, "b");
  ScriptedPlatform fits({dir / name64, "/pw=abcd"});
  EXPECT_EQ(RunProgram(fits), kCompleted);
  ScriptedPlatform cut({dir / name65, "/pw=abcd"});
  EXPECT_EQ(RunProgram(cut), kUsageMessage);
}

TEST(Startup, DirectoryPassesTheLookUpButCannotBeEncrypted) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
  ScriptedPlatform p({dir / "folder", "/pw=abcd"});
  EXPECT_EQ(RunProgram(p), kUsageMessage);
  EXPECT_EQ(UsageCause(p), dir / "folder: is a directory");
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("folder"));
}

}  // namespace
}  // namespace ovalith
