// Both runs and the driver, through the scripted front end on the
// in-memory system: what is shown, in order, and what is left in the
// directory, also when any call of the system fails.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "name_cases.h"
#include "scripted_run.h"
#include "test_util.h"
#include "ui/frm_main.h"

namespace ovalith {
namespace {

using test::DesDecrypt;
using test::Disk;
using test::EncryptBlocks;
using test::ExpectedContainer;
using test::In;
using test::kDir;
using test::KeyOf;
using test::MemorySystem;
using test::RandomBytes;
using test::RunOn;
using ::testing::ElementsAre;

const char kNotEqual[] = "information: Both passwords are not equal !!";
const char kTooShort[] =
    "information: The password must be at least 4 characters.";
const char kOverwrite[] = "question: File already exists !\r\nOverwrite ?";
const char kWrongPassword[] =
    "information: Wrong password or not an Ovalith 2.0 file";

// Runs the program on a file in the tests' directory with /pw=.
int Unattended(MemorySystem& fs, const std::string& name,
               const std::string& password, ScriptedView* out = nullptr) {
  ScriptedView view;
  int status = RunOn(fs, view, {In(name), "/pw=" + password});
  if (out) *out = view;
  return status;
}

// Encrypts stem.ext, checks the container against the oracle, removes the
// input and restores it.
void ExpectRoundTrip(MemorySystem& fs, const std::string& stem,
                     const std::string& ext, const std::string& plain) {
  const std::string name = stem + "." + ext;
  fs.Write(In(name), plain);
  ASSERT_EQ(Unattended(fs, name, "abcd"), kCompleted);
  EXPECT_TRUE(fs.Read(In(stem + ".ov2")) ==
              ExpectedContainer(plain, ext, "abcd"));
  fs.Remove(In(name));
  ASSERT_EQ(Unattended(fs, stem + ".ov2", "abcd"), kCompleted);
  EXPECT_TRUE(fs.Read(In(name)) == plain);
}

bool HasUsage(const ScriptedView& p) {
  for (const auto& m : p.Messages())
    if (m.starts_with("usage: ")) return true;
  return false;
}

TEST(EncryptionRun, WritesTheLayoutAndRestoresTheFile) {
  Disk fs;
  std::string plain = RandomBytes(100);
  fs.Write(In("report.txt"), plain);
  ScriptedView encrypting;
  encrypting.PressOk("secret", "secret");
  EXPECT_EQ(RunOn(fs, encrypting, {In("report.txt")}), kCompleted);
  EXPECT_EQ(encrypting.text[Control::lblFile], "report.txt");
  EXPECT_TRUE(encrypting.Messages().empty());
  EXPECT_EQ(encrypting.progress_max, 100u);
  std::string container = fs.Read(In("report.ov2"));
  ASSERT_EQ(container.size(), 120u);
  EXPECT_TRUE(container == ExpectedContainer(plain, "txt", "secret"));
  EXPECT_EQ(DesDecrypt(container.substr(112), KeyOf("secret")), "Ov2End.4");

  fs.Remove(In("report.txt"));
  ScriptedView decrypting;
  decrypting.PressOk("secret");
  EXPECT_EQ(RunOn(fs, decrypting, {In("report.ov2")}), kCompleted);
  EXPECT_EQ(decrypting.text[Control::frmMain], "Decrypt");
  EXPECT_EQ(decrypting.text[Control::cmdOK], "Decrypt");
  EXPECT_FALSE(decrypting.visible[Control::txtPW2]);
  EXPECT_FALSE(decrypting.visible[Control::lblPW2]);
  EXPECT_TRUE(fs.Read(In("report.txt")) == plain);
  EXPECT_THAT(fs.Files(), ElementsAre("report.ov2", "report.txt"));
}

TEST(EncryptionRun, SizesAroundBlockAndBatchBoundaries) {
  Disk fs;
  for (std::size_t size : {1u, 5u, 7u, 8u, 9u, 16u, 96u, 65535u, 65536u, 65537u,
                           524287u, 524288u, 524289u, 1100000u}) {
    SCOPED_TRACE(size);
    std::string plain = RandomBytes(size, static_cast<unsigned>(size));
    fs.Write(In("f.bin"), plain);
    ASSERT_EQ(Unattended(fs, "f.bin", "pass word"), kCompleted);
    std::string container = fs.Read(In("f.ov2"));
    EXPECT_EQ(container.size(), 8 * ((size + 7) / 8 + 2));
    EXPECT_TRUE(container == ExpectedContainer(plain, "bin", "pass word"));
    fs.Remove(In("f.bin"));
    ASSERT_EQ(Unattended(fs, "f.ov2", "pass word"), kCompleted);
    EXPECT_TRUE(fs.Read(In("f.bin")) == plain);
    fs.Remove(In("f.ov2"));
  }
}

TEST(EncryptionRun, EmptyInputMakesASixteenByteContainerThatRestoresEmpty) {
  Disk fs;
  fs.Write(In("empty.txt"), "");
  ASSERT_EQ(Unattended(fs, "empty.txt", "abcd"), kCompleted);
  std::string container = fs.Read(In("empty.ov2"));
  EXPECT_EQ(container, ExpectedContainer("", "txt", "abcd"));
  EXPECT_EQ(DesDecrypt(container.substr(8), KeyOf("abcd")), "Ov2End.0");
  fs.Remove(In("empty.txt"));
  ASSERT_EQ(Unattended(fs, "empty.ov2", "abcd"), kCompleted);
  EXPECT_EQ(fs.Read(In("empty.txt")), "");
}

TEST(EncryptionRun, NamesAndExtensions) {
  for (const test::NameCase& c : test::kNameCases) {
    SCOPED_TRACE(c.plain);
    Disk fs;
    fs.Write(In(c.plain), "hello");
    ASSERT_EQ(Unattended(fs, c.plain, "abcd"), kCompleted);
    EXPECT_EQ(fs.Read(In(c.container)),
              ExpectedContainer("hello", c.extension, "abcd"));
    fs.Remove(In(c.plain));
    ASSERT_EQ(Unattended(fs, c.container, "abcd"), kCompleted);
    EXPECT_EQ(fs.Read(In(c.restored)), "hello");
    EXPECT_THAT(fs.Files(),
                ::testing::UnorderedElementsAre(c.container, c.restored));
  }
}

TEST(EncryptionRun, PasswordChecksRefuseAndLetTheUserTryAgain) {
  Disk fs;
  fs.Write(In("a.txt"), "data");
  ScriptedView p;
  p.PressOk("abc", "abc");    // too short, even though equal
  p.PressOk("ab", "xy");      // length is checked before equality
  p.PressOk("Abcd", "abcd");  // letter case counts
  p.PressOk("abcd", "abcd");  // exactly 4 is enough
  EXPECT_EQ(RunOn(fs, p, {In("a.txt")}), kCompleted);
  EXPECT_THAT(p.Messages(), ElementsAre(kTooShort, kTooShort, kNotEqual));
  EXPECT_EQ(fs.Read(In("a.ov2")), ExpectedContainer("data", "txt", "abcd"));
  EXPECT_THAT(fs.Files(), ElementsAre("a.ov2", "a.txt"));
}

TEST(EncryptionRun, RefusedRunEnablesTheWindowAndHidesProgress) {
  Disk fs;
  fs.Write(In("a.txt"), "data");
  ScriptedView p;
  p.PressOk("abcd", "abce");
  EXPECT_EQ(RunOn(fs, p, {In("a.txt")}), kNotCompleted);  // then the close box
  EXPECT_TRUE(p.main_enabled);
  EXPECT_THAT(p.log, ElementsAre("main window shown", "progress: Encrypting...",
                                 kNotEqual, "progress hidden",
                                 "main window shown", "unloaded"));
  EXPECT_THAT(fs.Files(), ElementsAre("a.txt"));
}

// The normal end unwinds through the handlers of Form_Load and cmdOK_Click;
// none of them may take it for a failure.
TEST(EncryptionRun,
     CancelAndCloseEndWithStatusTwoAfterARefusalUnderBothHandlers) {
  for (bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "Cancel" : "close box");
    Disk fs;
    fs.Write(In("a.txt"), "new");
    fs.Write(In("a.ov2"), "old");
    ScriptedView p;
    p.Answer(Answer::No);  // refused inside the unattended run
    p.PressOk("abcd", "abcd");
    p.Answer(Answer::No);  // and again from the window
    if (cancel) p.PressCancel();
    EXPECT_EQ(RunOn(fs, p, {In("a.txt"), "/pw=abcd"}), kNotCompleted);
    EXPECT_THAT(p.Messages(), ElementsAre(kOverwrite, kOverwrite));
    EXPECT_EQ(p.log.back(), "unloaded");
    EXPECT_EQ(fs.Read(In("a.ov2")), "old");
  }
}

TEST(EncryptionRun, OverwriteOnlyAfterYes) {
  Disk fs;
  fs.Write(In("a.txt"), "new data");
  fs.Write(In("a.ov2"), "old container");
  ScriptedView no;
  no.PressOk("abcd", "abcd");
  no.Answer(Answer::No);
  EXPECT_EQ(RunOn(fs, no, {In("a.txt")}), kNotCompleted);
  EXPECT_THAT(no.Messages(), ElementsAre(kOverwrite));
  EXPECT_TRUE(no.main_enabled);
  EXPECT_EQ(fs.Read(In("a.ov2")), "old container");
  EXPECT_THAT(fs.Files(), ElementsAre("a.ov2", "a.txt"));

  ScriptedView yes;
  yes.PressOk("abcd", "abcd");
  yes.Answer(Answer::Yes);
  EXPECT_EQ(RunOn(fs, yes, {In("a.txt")}), kCompleted);
  EXPECT_EQ(fs.Read(In("a.ov2")), ExpectedContainer("new data", "txt", "abcd"));
}

TEST(EncryptionRun, CaseInsensitiveSystemAsksBeforeReplacingAnotherSpelling) {
  Disk fs;
  fs.SetCaseInsensitive(true);
  fs.Write(In("a.txt"), "data");
  fs.Write(In("A.OV2"), "old container");
  ScriptedView no;
  EXPECT_EQ(RunOn(fs, no, {In("a.txt"), "/pw=abcd"}), kNotCompleted);
  EXPECT_THAT(no.Messages(), ElementsAre(kOverwrite));
  EXPECT_EQ(fs.Read(In("A.OV2")), "old container");
  ScriptedView yes;
  yes.Answer(Answer::Yes);
  EXPECT_EQ(RunOn(fs, yes, {In("a.txt"), "/pw=abcd"}), kCompleted);
  EXPECT_THAT(fs.Files(), ElementsAre("a.ov2", "a.txt"));
  EXPECT_EQ(fs.Read(In("a.ov2")), ExpectedContainer("data", "txt", "abcd"));
}

TEST(EncryptionRun, DirectoryOfTheContainerNameEndsWithUsageAfterYes) {
  Disk fs;
  fs.Write(In("a.txt"), "data");
  fs.MakeDirectory(In("a.ov2"));
  // Unattended: the question is answered No by default; answer Yes here.
  ScriptedView p;
  p.Answer(Answer::Yes);
  EXPECT_EQ(RunOn(fs, p, {In("a.txt"), "/pw=abcd"}), kUsageMessage);
  ASSERT_EQ(p.Messages().size(), 2u);
  EXPECT_EQ(p.Messages()[0], kOverwrite);
  EXPECT_EQ(p.Messages()[1], "usage: a.ov2: is a directory");
  EXPECT_THAT(fs.Files(), ElementsAre("a.ov2", "a.txt"));
  EXPECT_TRUE(fs.List(In("a.ov2")).empty());
}

TEST(EncryptionRun, NewOutputIsNoMoreOpenThanItsInputAReplacedOneKeepsItsOwn) {
  struct Case {
    unsigned umask, input, output;
  };
  for (Case c : {Case{022, 0600, 0600}, Case{022, 0644, 0644},
                 Case{077, 0644, 0600}, Case{022, 0400, 0400}}) {
    SCOPED_TRACE(c.input);
    Disk fs;
    fs.SetUmask(c.umask);
    fs.Write(In("a.txt"), "data", c.input);
    EXPECT_EQ(Unattended(fs, "a.txt", "abcd"), kCompleted);
    EXPECT_EQ(fs.Mode(In("a.ov2")), c.output);
  }
  Disk fs;
  fs.Write(In("a.txt"), "data");
  fs.Write(In("a.ov2"), "old", 0600);
  ScriptedView yes;
  yes.Answer(Answer::Yes);
  EXPECT_EQ(RunOn(fs, yes, {In("a.txt"), "/pw=abcd"}), kCompleted);
  EXPECT_EQ(fs.Read(In("a.ov2")), ExpectedContainer("data", "txt", "abcd"));
  EXPECT_EQ(fs.Mode(In("a.ov2")), 0600u);
}

TEST(EncryptionRun, ReadOnlyDirectoryEndsWithUsageAndChangesNothing) {
  for (const char* name : {"a.txt", "b.ov2"}) {
    SCOPED_TRACE(name);
    Disk fs;
    fs.Write(In("a.txt"), "stays");
    fs.Write(In("b.ov2"), ExpectedContainer("restored", "txt", "abcd"));
    fs.SetMode(kDir, 0555);
    auto before = fs.Snapshot();
    ScriptedView p;
    EXPECT_EQ(RunOn(fs, p, {In(name), "/pw=abcd"}), kUsageMessage);
    ASSERT_TRUE(HasUsage(p));
    EXPECT_THAT(p.Messages().back(), ::testing::HasSubstr("Permission denied"));
    EXPECT_EQ(fs.Snapshot(), before);
  }
}

TEST(CipherLibrary, MissingLibraryEndsWithUsageAndLeavesNothing) {
  Disk fs;
  fs.Write(In("a.txt"), "data");
  fs.Write(In("a.ov2"), "old");
  fs.UseLibrary("ovalith_missing");
  ScriptedView p;
  p.Answer(Answer::Yes);
  EXPECT_EQ(RunOn(fs, p, {In("a.txt"), "/pw=abcd"}), kUsageMessage);
  ASSERT_TRUE(HasUsage(p));
  EXPECT_NE(p.Messages().back().find("libovalith_missing.so"),
            std::string::npos);
  EXPECT_EQ(fs.Read(In("a.ov2")), "old");
  EXPECT_THAT(fs.Files(), ElementsAre("a.ov2", "a.txt"));
}

TEST(CipherLibrary, SingleBlockLibraryMakesTheSameContainers) {
  Disk fs;
  fs.UseLibrary("ovalith_single");
  std::string plain = RandomBytes(200000, 7);
  fs.Write(In("a.dat"), plain);
  ASSERT_EQ(Unattended(fs, "a.dat", "other library"), kCompleted);
  EXPECT_TRUE(fs.Read(In("a.ov2")) ==
              ExpectedContainer(plain, "dat", "other library"));
  fs.Remove(In("a.dat"));
  ASSERT_EQ(Unattended(fs, "a.ov2", "other library"), kCompleted);
  EXPECT_TRUE(fs.Read(In("a.dat")) == plain);
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
    Disk fs;
    fs.UseLibrary(library);
    fs.Write(In("a.txt"), "data");
    fs.Write(In("b.ov2"), ExpectedContainer("data", "dat", "abcd"));
    for (const char* name : {"a.txt", "b.ov2"}) {
      ScriptedView p;
      EXPECT_EQ(Unattended(fs, name, "abcd", &p), kUsageMessage);
      EXPECT_THAT(p.Messages(), ElementsAre(std::string("usage: ") + cause));
    }
    EXPECT_THAT(fs.Files(), ElementsAre("a.txt", "b.ov2"));
  }
}

// A bulk call that reports failure ends the run as failed; the file it
// would have replaced stays as it was.
TEST(CipherLibrary, BulkCallReportingFailureEndsTheRunAndKeepsNothing) {
  Disk fs;
  fs.UseLibrary("ovalith_bulk_failing");
  const std::string plain = RandomBytes(1000, 3);
  fs.Write(In("a.txt"), plain);
  fs.Write(In("b.ov2"), ExpectedContainer(plain, "txt", "abcd"));
  fs.Write(In("a.ov2"), "old");
  fs.Write(In("b.txt"), "old");
  for (const char* name : {"a.txt", "b.ov2"}) {
    ScriptedView p;
    p.Answer(Answer::Yes);
    EXPECT_EQ(RunOn(fs, p, {In(name), "/pw=abcd"}), kUsageMessage);
    EXPECT_THAT(p.Messages(), ElementsAre(kOverwrite,
                                          "usage: the cipher library failed to "
                                          "transform a block"));
  }
  EXPECT_THAT(fs.Files(), ElementsAre("a.ov2", "a.txt", "b.ov2", "b.txt"));
  EXPECT_EQ(fs.Read(In("a.ov2")), "old");
  EXPECT_EQ(fs.Read(In("b.txt")), "old");
}

// For every key one plain block encrypts to zeros; a file may hold it
// anywhere, the last block of a full batch included.
TEST(CipherLibrary, BlockThatEncryptsToZerosIsAnOrdinaryBlock) {
  Disk fs;
  const std::string zeros_from =
      DesDecrypt(std::string(8, '\0'), KeyOf("abcd"));
  // The header and 65535 data blocks fill the first batch.
  const std::string plain =
      zeros_from + RandomBytes(65533 * 8, 4) + zeros_from + zeros_from;
  ExpectRoundTrip(fs, "a", "bin", plain);
}

TEST(DecryptionRun, WrongPasswordWritesNothingAndMayBeRetried) {
  Disk fs;
  fs.Write(In("a.ov2"), ExpectedContainer("payload", "txt", "right"));
  ScriptedView p;
  p.PressOk("wrong");
  p.PressOk("right");
  EXPECT_EQ(RunOn(fs, p, {In("a.ov2")}), kCompleted);
  EXPECT_THAT(p.Messages(), ElementsAre(kWrongPassword));
  EXPECT_EQ(fs.Read(In("a.txt")), "payload");
}

TEST(DecryptionRun, EmptyAndShortPasswordsAreAcceptedInDecryptMode) {
  Disk fs;
  fs.Write(In("a.ov2"), ExpectedContainer("x", "txt", ""));
  EXPECT_EQ(KeyOf(""), std::string(8, '\0'));
  ScriptedView p;
  p.PressOk("");
  EXPECT_EQ(RunOn(fs, p, {In("a.ov2")}), kCompleted);
  EXPECT_EQ(fs.Read(In("a.txt")), "x");
}

TEST(DecryptionRun, OverwriteOnlyAfterYes) {
  Disk fs;
  fs.Write(In("a.ov2"), ExpectedContainer("new", "txt", "abcd"));
  fs.Write(In("a.txt"), "old");
  ScriptedView no;
  EXPECT_EQ(Unattended(fs, "a.ov2", "abcd", &no), kNotCompleted);
  EXPECT_THAT(no.Messages(), ElementsAre(kOverwrite));
  EXPECT_EQ(fs.Read(In("a.txt")), "old");
  ScriptedView yes;
  yes.Answer(Answer::Yes);
  EXPECT_EQ(RunOn(fs, yes, {In("a.ov2"), "/pw=abcd"}), kCompleted);
  EXPECT_EQ(fs.Read(In("a.txt")), "new");
}

TEST(DecryptionRun, TrailerCounts) {
  Disk fs;
  std::string head = "Ov2txt  ";
  std::string data = "ABCDEFGHabcdefgh";
  for (char digit = '0'; digit <= '9'; ++digit) {
    SCOPED_TRACE(digit);
    fs.Write(In("a.ov2"),
             EncryptBlocks(head + data + "Ov2End." + digit, "abcd"));
    ASSERT_EQ(Unattended(fs, "a.ov2", "abcd"), kCompleted);
    std::size_t keep = std::min(digit - '0', 8);
    EXPECT_EQ(fs.Read(In("a.txt")), data.substr(0, 8 + keep));
    fs.Remove(In("a.txt"));
  }
}

TEST(DecryptionRun, DamagedContainersEndWithUsageAndLeaveNothing) {
  Disk fs;
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
    fs.Write(In("a.ov2"), c.container);
    fs.Write(In("a.txt"), "precious");
    ScriptedView yes;
    yes.Answer(Answer::Yes);
    EXPECT_EQ(RunOn(fs, yes, {In("a.ov2"), "/pw=abcd"}), kUsageMessage);
    EXPECT_TRUE(HasUsage(yes));
    EXPECT_EQ(fs.Read(In("a.txt")), "precious");
    EXPECT_THAT(fs.Files(), ElementsAre("a.ov2", "a.txt"));
  }
}

TEST(DecryptionRun, ShortContainers) {
  Disk fs;
  // Shorter than a block: the header cannot be read.
  fs.Write(In("a.ov2"), "1234567");
  EXPECT_EQ(Unattended(fs, "a.ov2", "abcd"), kUsageMessage);
  // A header that does not decrypt to "Ov2", whatever follows.
  for (std::size_t size : {8u, 15u, 16u}) {
    fs.Write(In("a.ov2"), std::string(size, 'q'));
    ScriptedView p;
    EXPECT_EQ(Unattended(fs, "a.ov2", "abcd", &p), kNotCompleted);
    EXPECT_THAT(p.Messages(), ElementsAre(kWrongPassword));
  }
  EXPECT_THAT(fs.Files(), ElementsAre("a.ov2"));
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
    Disk fs;
    fs.MakeDirectory(In("sub"));
    std::string header = ("Ov2" + c.extension + "     ").substr(0, 8);
    for (const char* name : {"sub/ov2", "sub/a.ov2"}) {
      SCOPED_TRACE(name);
      bool refused = c.refused_after_prefix || name == std::string("sub/ov2");
      fs.Write(In(name), EncryptBlocks(header + "12345678Ov2End.8", "abcd"));
      ScriptedView p;
      p.Answer(Answer::Yes);
      EXPECT_EQ(RunOn(fs, p, {In(name), "/pw=abcd"}),
                refused ? kUsageMessage : kCompleted);
      if (refused) {
        ASSERT_TRUE(HasUsage(p));
        EXPECT_NE(p.Messages().back().find("cannot be written"),
                  std::string::npos);
      }
    }
    EXPECT_THAT(fs.Files(), ElementsAre("sub"));
    EXPECT_THAT(fs.List("/"), ElementsAre("home"));
    if (c.refused_after_prefix) {
      EXPECT_THAT(fs.List(In("sub")), ElementsAre("a.ov2", "ov2"));
    }
  }
}

TEST(DecryptionRun, NeverRestoresOverTheContainerItselfHoweverItIsNamed) {
  for (bool insensitive : {false, true}) {
    SCOPED_TRACE(insensitive);
    Disk fs;
    fs.SetCaseInsensitive(insensitive);
    // A stored extension of "ov2" (or "OV2" where case is ignored) names
    // the container itself.
    const std::string container =
        ExpectedContainer("inner", insensitive ? "OV2" : "ov2", "abcd");
    fs.Write(In("a.ov2"), container);
    ScriptedView p;
    p.Answer(Answer::Yes);
    EXPECT_EQ(RunOn(fs, p, {In("a.ov2"), "/pw=abcd"}), kUsageMessage);
    EXPECT_THAT(p.UsageCause(), ::testing::HasSubstr("never written over"));
    EXPECT_EQ(fs.Read(In("a.ov2")), container);
    EXPECT_THAT(fs.Files(), ElementsAre("a.ov2"));
  }
}

// --- Any call of the system fails -------------------------------------------

// A run over an existing output, answered Yes.
struct SweepCase {
  const char* what;
  std::string input, output, input_data;
};

void Prepare(Disk& fs, const SweepCase& c) {
  fs.Write(In(c.input), c.input_data);
  fs.Write(In(c.output), "old output", 0600);
}

int RunCase(Disk& fs, const SweepCase& c, ScriptedView& view) {
  view.Answer(Answer::Yes);
  return RunOn(fs, view, {In(c.input), "/pw=abcd"});
}

// For every call a clean run makes, a run where that call fails: it ends
// through the usage message naming the cause, and leaves every file as it
// was: no temporary file, the old output untouched.
TEST(AnyCallFails, BothRunsOverAnExistingOutput) {
  // Over several reads and, in both runs, more than one write.
  std::string plain = RandomBytes(600000, 11);
  for (const SweepCase& c :
       {SweepCase{"encrypt", "a.txt", "a.ov2", plain},
        SweepCase{"decrypt", "a.ov2", "a.txt",
                  ExpectedContainer(plain, "txt", "abcd")}}) {
    SCOPED_TRACE(c.what);
    Disk clean;
    Prepare(clean, c);
    ScriptedView clean_view;
    ASSERT_EQ(RunCase(clean, c, clean_view), kCompleted);
    EXPECT_EQ(clean.Mode(In(c.output)), 0600u);
    EXPECT_EQ(clean.Read(In("a.txt")), plain);
    EXPECT_EQ(clean.Read(In("a.ov2")), ExpectedContainer(plain, "txt", "abcd"));
    const std::vector<std::string> calls = clean.CallLog();
    // The sweep reaches every kind of call a run makes.
    for (const char* call :
         {"ReadCommandLine", "EnterDirectory", "LookUp", "OpenInput", "Size",
          "Read", "IsDirectory", "CreateNew", "Write", "Close", "ReplaceFile",
          "LoadLibrary", "FindEntryPoint"})
      EXPECT_THAT(calls, ::testing::Contains(call));
    EXPECT_GE(std::count(calls.begin(), calls.end(), "Write"), 2);

    for (int index = 1; index <= static_cast<int>(calls.size()); ++index) {
      const std::string& call = calls[static_cast<std::size_t>(index - 1)];
      SCOPED_TRACE(std::to_string(index) + ": " + call);
      Disk fs;
      Prepare(fs, c);
      auto before = fs.Snapshot();
      fs.FailCall(index, "injected failure of " + call);
      ScriptedView view;
      EXPECT_EQ(RunCase(fs, c, view), kUsageMessage);
      ASSERT_FALSE(view.Messages().empty());
      EXPECT_EQ(view.Messages().back(), "usage: injected failure of " + call);
      EXPECT_EQ(view.log.back(), "unloaded");
      EXPECT_EQ(fs.Snapshot(), before);
    }
  }
}

TEST(AnyCallFails, FailureByNameHitsTheNthCallOfThatName) {
  Disk fs;
  std::string plain = RandomBytes(600000, 5);
  fs.Write(In("a.txt"), plain);
  // The second of the run's three writes: the output is under way.
  fs.FailAt("Write", 2, "No space left on device");
  ScriptedView view;
  EXPECT_EQ(RunOn(fs, view, {In("a.txt"), "/pw=abcd"}), kUsageMessage);
  EXPECT_THAT(view.Messages(), ElementsAre("usage: No space left on device"));
  EXPECT_THAT(fs.Files(), ElementsAre("a.txt"));
  Disk clean;
  clean.Write(In("a.txt"), plain);
  ScriptedView clean_view;
  EXPECT_EQ(RunOn(clean, clean_view, {In("a.txt"), "/pw=abcd"}), kCompleted);
  const auto& calls = clean.CallLog();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "Write"), 3);
}

// Where the output may be written from a second thread, each batch is
// written while the next is read and transformed: the files are the same,
// and a write failing, or the user stopping, at any batch still ends with
// the cause and leaves every file as it was.
TEST(WriteBehind, SameFilesAndEveryFailureOrStopLeavesNothing) {
  const std::string plain = RandomBytes(3 * 524288 + 5, 17);
  const std::string container = ExpectedContainer(plain, "txt", "abcd");
  for (std::size_t size : {524287u, 524288u, 524296u, 1048577u}) {
    SCOPED_TRACE(size);
    Disk fs;
    fs.SetWritesFromAnyThread(true);
    ExpectRoundTrip(fs, "a", "txt", plain.substr(0, size));
  }
  for (const char* input : {"a.txt", "a.ov2"}) {
    // Encrypting writes the header apart, then four batches.
    for (int nth = 1; nth <= 4; ++nth) {
      SCOPED_TRACE(std::string(input) + " write " + std::to_string(nth));
      Disk fs;
      fs.SetWritesFromAnyThread(true);
      fs.Write(In("a.txt"), plain);
      fs.Write(In("a.ov2"), container);
      auto before = fs.Snapshot();
      fs.FailAt("Write", nth, "No space left on device");
      ScriptedView view;
      view.Answer(Answer::Yes);
      EXPECT_EQ(RunOn(fs, view, {In(input), "/pw=abcd"}), kUsageMessage);
      EXPECT_THAT(view.Messages(),
                  ElementsAre(kOverwrite, "usage: No space left on device"));
      EXPECT_EQ(fs.Snapshot(), before);
    }
    {
      // Stopped at the first update: while the first batch is written.
      SCOPED_TRACE(std::string(input) + " stopped");
      Disk fs;
      fs.SetWritesFromAnyThread(true);
      fs.Write(In("a.txt"), plain);
      fs.Write(In("a.ov2"), container);
      auto before = fs.Snapshot();
      ScriptedView view;
      view.Answer(Answer::Yes);
      view.StopAfterUpdates(1);
      EXPECT_EQ(RunOn(fs, view, {In(input), "/pw=abcd"}), kNotCompleted);
      EXPECT_EQ(fs.Snapshot(), before);
    }
  }
}

}  // namespace
}  // namespace ovalith
