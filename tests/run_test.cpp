// Both runs and the driver, through the scripted front end: what is shown,
// in order, and what is left on disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "scripted_platform.h"
#include "test_util.h"
#include "ui/frm_main.h"

namespace ovalith {
namespace {

using test::DesDecrypt;
using test::EncryptBlocks;
using test::Exists;
using test::ExpectedContainer;
using test::KeyOf;
using test::ListDir;
using test::RandomBytes;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;

const char kNotEqual[] = "information: Both passwords are not equal !!";
const char kTooShort[] =
    "information: The password must be at least 4 characters.";
const char kOverwrite[] = "question: File already exists !\r\nOverwrite ?";
const char kWrongPassword[] =
    "information: Wrong password or not an Ovalith 2.0 file";

int RunProgram(ScriptedPlatform& platform) { return frmMain(platform).Run(); }

// Runs the program on a file in the temporary directory with /pw=.
int Unattended(const TempDir& dir, const std::string& name,
               const std::string& password, ScriptedPlatform** out = nullptr) {
  static std::unique_ptr<ScriptedPlatform> last;
  last = std::make_unique<ScriptedPlatform>(
      std::vector<std::string>{dir / name, "/pw=" + password});
  if (out) *out = last.get();
  return RunProgram(*last);
}

bool HasUsage(const ScriptedPlatform& p) {
  for (const auto& m : p.Messages())
    if (m.starts_with("usage: ")) return true;
  return false;
}

TEST(EncryptionRun, WritesTheLayoutAndRestoresTheFile) {
  TempDir dir;
  std::string plain = RandomBytes(100);
  WriteFile(dir / "report.txt", plain);
  ScriptedPlatform encrypting({dir / "report.txt"});
  encrypting.PressOk("secret", "secret");
  EXPECT_EQ(RunProgram(encrypting), kCompleted);
  EXPECT_EQ(encrypting.text[Control::lblFile], "report.txt");
  EXPECT_TRUE(encrypting.Messages().empty());
  EXPECT_EQ(encrypting.progress_max, 100u);
  std::string container = ReadFile(dir / "report.ov2");
  ASSERT_EQ(container.size(), 120u);
  EXPECT_TRUE(container == ExpectedContainer(plain, "txt", "secret"));
  EXPECT_EQ(DesDecrypt(container.substr(112), KeyOf("secret")), "Ov2End.4");

  std::remove((dir / "report.txt").c_str());
  ScriptedPlatform decrypting({dir / "report.ov2"});
  decrypting.PressOk("secret");
  EXPECT_EQ(RunProgram(decrypting), kCompleted);
  EXPECT_EQ(decrypting.text[Control::frmMain], "Decrypt");
  EXPECT_EQ(decrypting.text[Control::cmdOK], "Decrypt");
  EXPECT_FALSE(decrypting.visible[Control::txtPW2]);
  EXPECT_FALSE(decrypting.visible[Control::lblPW2]);
  EXPECT_TRUE(ReadFile(dir / "report.txt") == plain);
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("report.ov2", "report.txt"));
}

TEST(EncryptionRun, SizesAroundBlockAndBatchBoundaries) {
  TempDir dir;
  for (std::size_t size : {1u, 5u, 7u, 8u, 9u, 16u, 96u, 65535u, 65536u, 65537u,
                           524287u, 524288u, 524289u, 1100000u}) {
    SCOPED_TRACE(size);
    std::string plain = RandomBytes(size, static_cast<unsigned>(size));
    WriteFile(dir / "f.bin", plain);
    ASSERT_EQ(Unattended(dir, "f.bin", "pass word"), kCompleted);
    std::string container = ReadFile(dir / "f.ov2");
    EXPECT_EQ(container.size(), 8 * ((size + 7) / 8 + 2));
    EXPECT_TRUE(container == ExpectedContainer(plain, "bin", "pass word"));
    std::remove((dir / "f.bin").c_str());
    ASSERT_EQ(Unattended(dir, "f.ov2", "pass word"), kCompleted);
    EXPECT_TRUE(ReadFile(dir / "f.bin") == plain);
    std::remove((dir / "f.ov2").c_str());
  }
}

TEST(EncryptionRun, EmptyInputMakesASixteenByteContainerThatRestoresEmpty) {
  TempDir dir;
  WriteFile(dir / "empty.txt", "");
  ASSERT_EQ(Unattended(dir, "empty.txt", "abcd"), kCompleted);
  std::string container = ReadFile(dir / "empty.ov2");
  EXPECT_EQ(container, ExpectedContainer("", "txt", "abcd"));
  EXPECT_EQ(DesDecrypt(container.substr(8), KeyOf("abcd")), "Ov2End.0");
  std::remove((dir / "empty.txt").c_str());
  ASSERT_EQ(Unattended(dir, "empty.ov2", "abcd"), kCompleted);
  EXPECT_EQ(ReadFile(dir / "empty.txt"), "");
}

TEST(EncryptionRun, NamesAndExtensions) {
  struct Case {
    const char* plain_name;
    const char* container;
    const char* extension;
    const char* restored;
  };
  for (const Case& c :
       {Case{"archive.tar.gz", "archive.ov2", "tar.g", "archive.tar.g"},
        Case{"README", "ov2", "READM", "READM"},
        Case{"notes.", "notes.ov2", "", "notes."},
        Case{"photo.jpeg", "photo.ov2", "jpeg", "photo.jpeg"},
        Case{"a b.c d", "a b.ov2", "c d", "a b.c d"},
        Case{"x.ov2x", "x.ov2", "ov2x", "x.ov2x"}}) {
    SCOPED_TRACE(c.plain_name);
    TempDir dir;
    WriteFile(dir / c.plain_name, "hello");
    ASSERT_EQ(Unattended(dir, c.plain_name, "abcd"), kCompleted);
    EXPECT_EQ(ReadFile(dir / c.container),
              ExpectedContainer("hello", c.extension, "abcd"));
    std::remove((dir / c.plain_name).c_str());
    ASSERT_EQ(Unattended(dir, c.container, "abcd"), kCompleted);
    EXPECT_EQ(ReadFile(dir / c.restored), "hello");
  }
}

TEST(EncryptionRun, PasswordChecksRefuseAndLetTheUserTryAgain) {
  TempDir dir;
  WriteFile(dir / "a.txt", "data");
  ScriptedPlatform p({dir / "a.txt"});
  p.PressOk("abc", "abc");    // too short, even though equal
  p.PressOk("ab", "xy");      // length is checked before equality
  p.PressOk("Abcd", "abcd");  // letter case counts
  p.PressOk("abcd", "abcd");  // exactly 4 is enough
  EXPECT_EQ(RunProgram(p), kCompleted);
  EXPECT_THAT(p.Messages(), ElementsAre(kTooShort, kTooShort, kNotEqual));
  EXPECT_EQ(ReadFile(dir / "a.ov2"), ExpectedContainer("data", "txt", "abcd"));
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2", "a.txt"));
}

TEST(EncryptionRun, RefusedRunEnablesTheWindowAndHidesProgress) {
  TempDir dir;
  WriteFile(dir / "a.txt", "data");
  ScriptedPlatform p({dir / "a.txt"});
  p.PressOk("abcd", "abce");
  EXPECT_EQ(RunProgram(p), kNotCompleted);  // then the close box
  EXPECT_TRUE(p.main_enabled);
  EXPECT_THAT(p.log, ElementsAre("main window shown", "progress: Encrypting...",
                                 kNotEqual, "progress hidden",
                                 "main window shown", "unloaded"));
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.txt"));
}

TEST(EncryptionRun, OverwriteOnlyAfterYes) {
  TempDir dir;
  WriteFile(dir / "a.txt", "new data");
  WriteFile(dir / "a.ov2", "old container");
  ScriptedPlatform no({dir / "a.txt"});
  no.PressOk("abcd", "abcd");
  no.Answer(Answer::No);
  EXPECT_EQ(RunProgram(no), kNotCompleted);
  EXPECT_THAT(no.Messages(), ElementsAre(kOverwrite));
  EXPECT_TRUE(no.main_enabled);
  EXPECT_EQ(ReadFile(dir / "a.ov2"), "old container");
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2", "a.txt"));

  ScriptedPlatform yes({dir / "a.txt"});
  yes.PressOk("abcd", "abcd");
  yes.Answer(Answer::Yes);
  EXPECT_EQ(RunProgram(yes), kCompleted);
  EXPECT_EQ(ReadFile(dir / "a.ov2"),
            ExpectedContainer("new data", "txt", "abcd"));
}

TEST(EncryptionRun, DirectoryOfTheContainerNameEndsWithUsageAfterYes) {
  TempDir dir;
  WriteFile(dir / "a.txt", "data");
  ASSERT_EQ(::mkdir((dir / "a.ov2").c_str(), 0755), 0);
  ScriptedPlatform* p;
  // Unattended: the question is answered No by default; answer Yes here.
  ScriptedPlatform yes({dir / "a.txt", "/pw=abcd"});
  yes.Answer(Answer::Yes);
  EXPECT_EQ(RunProgram(yes), kUsageMessage);
  p = &yes;
  ASSERT_EQ(p->Messages().size(), 2u);
  EXPECT_EQ(p->Messages()[0], kOverwrite);
  EXPECT_EQ(p->Messages()[1], "usage: a.ov2: is a directory");
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2", "a.txt"));
  EXPECT_TRUE(ListDir(dir / "a.ov2").empty());
}

TEST(EncryptionRun, OutputGetsOrdinaryPermissions) {
  TempDir dir;
  WriteFile(dir / "a.txt", "data");
  ASSERT_EQ(::chmod((dir / "a.txt").c_str(), 0400), 0);
  mode_t mask = ::umask(022);
  EXPECT_EQ(Unattended(dir, "a.txt", "abcd"), kCompleted);
  ::umask(mask);
  struct stat st;
  ASSERT_EQ(::stat((dir / "a.ov2").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(CipherLibrary, MissingLibraryEndsWithUsageAndLeavesNothing) {
  TempDir dir;
  WriteFile(dir / "a.txt", "data");
  WriteFile(dir / "a.ov2", "old");
  ScriptedPlatform p({dir / "a.txt", "/pw=abcd"});
  p.library_name = "ovalith_missing";
  p.Answer(Answer::Yes);
  EXPECT_EQ(RunProgram(p), kUsageMessage);
  ASSERT_TRUE(HasUsage(p));
  EXPECT_NE(p.Messages().back().find("libovalith_missing.so"),
            std::string::npos);
  EXPECT_EQ(ReadFile(dir / "a.ov2"), "old");
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2", "a.txt"));
}

TEST(CipherLibrary, SingleBlockLibraryMakesTheSameContainers) {
  TempDir dir;
  std::string plain = RandomBytes(200000, 7);
  WriteFile(dir / "a.dat", plain);
  ScriptedPlatform p({dir / "a.dat", "/pw=other library"});
  p.library_name = "ovalith_single";
  ASSERT_EQ(RunProgram(p), kCompleted);
  EXPECT_TRUE(ReadFile(dir / "a.ov2") ==
              ExpectedContainer(plain, "dat", "other library"));
  std::remove((dir / "a.dat").c_str());
  ScriptedPlatform back({dir / "a.ov2", "/pw=other library"});
  back.library_name = "ovalith_single";
  ASSERT_EQ(RunProgram(back), kCompleted);
  EXPECT_TRUE(ReadFile(dir / "a.dat") == plain);
}

// A library is checked when it is loaded, whatever its cipher: both runs
// refuse it with the cause, before anything is written.
TEST(CipherLibrary, LibraryLackingWhatARunReliesOnIsRefused) {
  const std::pair<const char*, const char*> kLibraries[] = {
      {"ovalith_encrypt_only",
       "the cipher library has no entry point \"decrypt\""},
      {"ovalith_no_round_trip",
       "the cipher library does not decrypt what it encrypts"},
      {"ovalith_key_changing",
       "the cipher library changes the key it is given"},
  };
  for (const auto& [library, cause] : kLibraries) {
    SCOPED_TRACE(library);
    TempDir dir;
    WriteFile(dir / "a.txt", "data");
    WriteFile(dir / "b.ov2", ExpectedContainer("data", "dat", "abcd"));
    for (const char* name : {"a.txt", "b.ov2"}) {
      ScriptedPlatform p({dir / name, "/pw=abcd"});
      p.library_name = library;
      EXPECT_EQ(RunProgram(p), kUsageMessage);
      EXPECT_THAT(p.Messages(), ElementsAre(std::string("usage: ") + cause));
    }
    EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.txt", "b.ov2"));
  }
}

// A bulk call that reports failure ends the run as failed; the file it
// would have replaced stays as it was.
TEST(CipherLibrary, BulkCallReportingFailureEndsTheRunAndKeepsNothing) {
  TempDir dir;
  const std::string plain = RandomBytes(1000, 3);
  WriteFile(dir / "a.txt", plain);
  WriteFile(dir / "b.ov2", ExpectedContainer(plain, "txt", "abcd"));
  WriteFile(dir / "a.ov2", "old");
  WriteFile(dir / "b.txt", "old");
  for (const char* name : {"a.txt", "b.ov2"}) {
    ScriptedPlatform p({dir / name, "/pw=abcd"});
    p.library_name = "ovalith_bulk_failing";
    p.Answer(Answer::Yes);
    EXPECT_EQ(RunProgram(p), kUsageMessage);
    EXPECT_THAT(p.Messages(), ElementsAre(kOverwrite,
                                          "usage: the cipher library failed to "
                                          "transform a block"));
  }
  EXPECT_THAT(ListDir(dir.path()),
              ElementsAre("a.ov2", "a.txt", "b.ov2", "b.txt"));
  EXPECT_EQ(ReadFile(dir / "a.ov2"), "old");
  EXPECT_EQ(ReadFile(dir / "b.txt"), "old");
}

// For every key one plain block encrypts to zeros; a file may hold it
// anywhere, the last block of a full batch included.
TEST(CipherLibrary, BlockThatEncryptsToZerosIsAnOrdinaryBlock) {
  TempDir dir;
  const std::string zeros_from =
      DesDecrypt(std::string(8, '\0'), KeyOf("abcd"));
  // The header and 65535 data blocks fill the first batch.
  const std::string plain =
      zeros_from + RandomBytes(65533 * 8, 4) + zeros_from + zeros_from;
  WriteFile(dir / "a.bin", plain);
  ASSERT_EQ(Unattended(dir, "a.bin", "abcd"), kCompleted);
  EXPECT_TRUE(ReadFile(dir / "a.ov2") ==
              ExpectedContainer(plain, "bin", "abcd"));
  std::remove((dir / "a.bin").c_str());
  ASSERT_EQ(Unattended(dir, "a.ov2", "abcd"), kCompleted);
  EXPECT_TRUE(ReadFile(dir / "a.bin") == plain);
}

TEST(DecryptionRun, WrongPasswordWritesNothingAndMayBeRetried) {
  TempDir dir;
  WriteFile(dir / "a.ov2", ExpectedContainer("payload", "txt", "right"));
  ScriptedPlatform p({dir / "a.ov2"});
  p.PressOk("wrong");
  p.PressOk("right");
  EXPECT_EQ(RunProgram(p), kCompleted);
  EXPECT_THAT(p.Messages(), ElementsAre(kWrongPassword));
  EXPECT_EQ(ReadFile(dir / "a.txt"), "payload");
}

TEST(DecryptionRun, EmptyAndShortPasswordsAreAcceptedInDecryptMode) {
  TempDir dir;
  WriteFile(dir / "a.ov2", ExpectedContainer("x", "txt", ""));
  EXPECT_EQ(KeyOf(""), std::string(8, '\0'));
  ScriptedPlatform p({dir / "a.ov2"});
  p.PressOk("");
  EXPECT_EQ(RunProgram(p), kCompleted);
  EXPECT_EQ(ReadFile(dir / "a.txt"), "x");
}

TEST(DecryptionRun, OverwriteOnlyAfterYes) {
  TempDir dir;
  WriteFile(dir / "a.ov2", ExpectedContainer("new", "txt", "abcd"));
  WriteFile(dir / "a.txt", "old");
  ScriptedPlatform no({dir / "a.ov2", "/pw=abcd"});
  EXPECT_EQ(RunProgram(no), kNotCompleted);
  EXPECT_THAT(no.Messages(), ElementsAre(kOverwrite));
  EXPECT_EQ(ReadFile(dir / "a.txt"), "old");
  ScriptedPlatform yes({dir / "a.ov2", "/pw=abcd"});
  yes.Answer(Answer::Yes);
  EXPECT_EQ(RunProgram(yes), kCompleted);
  EXPECT_EQ(ReadFile(dir / "a.txt"), "new");
}

TEST(DecryptionRun, TrailerCounts) {
  TempDir dir;
  std::string head = "Ov2txt  ";
  std::string data = "ABCDEFGHabcdefgh";
  for (char digit = '0'; digit <= '9'; ++digit) {
    SCOPED_TRACE(digit);
    WriteFile(dir / "a.ov2",
              EncryptBlocks(head + data + "Ov2End." + digit, "abcd"));
    ASSERT_EQ(Unattended(dir, "a.ov2", "abcd"), kCompleted);
    std::size_t keep = std::min(digit - '0', 8);
    EXPECT_EQ(ReadFile(dir / "a.txt"), data.substr(0, 8 + keep));
    std::remove((dir / "a.txt").c_str());
  }
}

TEST(DecryptionRun, DamagedContainersEndWithUsageAndLeaveNothing) {
  TempDir dir;
  std::string head = "Ov2txt  ";
  std::string many = head + std::string(8 * 70000, 'z');
  struct Case {
    const char* what;
    std::string container;
  };
  std::vector<Case> cases = {
      {"header only", EncryptBlocks(head, "abcd")},
      {"trailer not a digit", EncryptBlocks(head + "12345678Ov2End.x", "abcd")},
      {"trailer not a digit after many blocks",
       EncryptBlocks(many + "Ov2End.?", "abcd")},
      {"size not a multiple of 8",
       EncryptBlocks(head + "12345678Ov2End.8", "abcd") + "xyz"},
      {"size not a multiple of 8 after many blocks",
       EncryptBlocks(many + "Ov2End.8", "abcd") + "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(dir / "a.ov2", c.container);
    WriteFile(dir / "a.txt", "precious");
    ScriptedPlatform* p;
    ScriptedPlatform yes({dir / "a.ov2", "/pw=abcd"});
    yes.Answer(Answer::Yes);
    p = &yes;
    EXPECT_EQ(RunProgram(*p), kUsageMessage);
    EXPECT_TRUE(HasUsage(*p));
    EXPECT_EQ(ReadFile(dir / "a.txt"), "precious");
    EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2", "a.txt"));
  }
}

TEST(DecryptionRun, ShortContainers) {
  TempDir dir;
  // Shorter than a block: the header cannot be read.
  WriteFile(dir / "a.ov2", "1234567");
  EXPECT_EQ(Unattended(dir, "a.ov2", "abcd"), kUsageMessage);
  // A header that does not decrypt to "Ov2", whatever follows.
  for (std::size_t size : {8u, 15u, 16u}) {
    WriteFile(dir / "a.ov2", std::string(size, 'q'));
    ScriptedPlatform* p;
    EXPECT_EQ(Unattended(dir, "a.ov2", "abcd", &p), kNotCompleted);
    EXPECT_THAT(p->Messages(), ElementsAre(kWrongPassword));
  }
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2"));
}

TEST(DecryptionRun, CraftedExtensionsCannotLeaveTheDirectory) {
  // A container named "ov2" has no prefix: the extension alone is the
  // restored name.  "a.ov2" puts "a." in front.
  struct Case {
    std::string extension;
    bool refused_after_prefix;
  };
  for (const Case& c : {Case{"/", true}, Case{"../..", true}, Case{"a/b", true},
                        Case{std::string("x\0y", 3), true}, Case{"a\nb", true},
                        Case{"\x1b[2J", true}, Case{"..", false},
                        Case{".", false}, Case{"", false}}) {
    SCOPED_TRACE(c.extension);
    TempDir dir;
    ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0755), 0);
    std::string header = ("Ov2" + c.extension + "     ").substr(0, 8);
    for (const char* name : {"sub/ov2", "sub/a.ov2"}) {
      SCOPED_TRACE(name);
      bool refused = c.refused_after_prefix || name == std::string("sub/ov2");
      WriteFile(dir / name, EncryptBlocks(header + "12345678Ov2End.8", "abcd"));
      ScriptedPlatform p({dir / name, "/pw=abcd"});
      p.Answer(Answer::Yes);
      EXPECT_EQ(RunProgram(p), refused ? kUsageMessage : kCompleted);
      if (refused) {
        ASSERT_TRUE(HasUsage(p));
        EXPECT_NE(p.Messages().back().find("cannot be written"),
                  std::string::npos);
      }
    }
    EXPECT_THAT(ListDir(dir.path()), ElementsAre("sub"));
    if (c.refused_after_prefix) {
      EXPECT_THAT(ListDir(dir / "sub"), ElementsAre("a.ov2", "ov2"));
    }
  }
}

TEST(DecryptionRun, RestoringOverTheContainerItselfAfterYes) {
  TempDir dir;
  // A stored extension of "ov2" names the container itself.
  WriteFile(dir / "a.ov2", ExpectedContainer("inner", "ov2", "abcd"));
  ScriptedPlatform p({dir / "a.ov2", "/pw=abcd"});
  p.Answer(Answer::Yes);
  EXPECT_EQ(RunProgram(p), kCompleted);
  EXPECT_EQ(ReadFile(dir / "a.ov2"), "inner");
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2"));
}

}  // namespace
}  // namespace ovalith
