// Hostile and unusual inputs, given to the built program as a user would:
// files that are not regular files, files that cannot be read or go away,
// links, odd names, unwritable directories, and crafted containers.  Each
// ends in an asserted status with nothing left behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "child_process.h"
#include "memory_system.h"
#include "protect/container.h"
#include "scripted_view.h"
#include "test_util.h"
#include "ui/frm_main.h"

namespace ovalith::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

const char kWrongPassword[] = "Wrong password or not an Ovalith 2.0 file";

ChildResult Ovalith(const std::string& cwd, const std::string& file,
                    const std::string& password = "abcd",
                    const std::string& input = "") {
  return RunOvalith({file, "/pw=" + password},
                    {.cwd = cwd, .input = input, .timeout_seconds = 20});
}

// Status 1 with the usage message and a cause line that contains cause.
void ExpectUsage(const ChildResult& result, const std::string& cause) {
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr(kUsageLines));
  EXPECT_THAT(result.err, HasSubstr(cause));
}

// Every entry under root with its content, to show that nothing changed.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string key = entry.path().string().substr(root.size());
    if (entry.is_symlink())
      tree[key] = "-> " + fs::read_symlink(entry.path()).string();
    else if (entry.is_directory())
      tree[key] = "<dir>";
    else if (!entry.is_regular_file())
      tree[key] = "<special>";  // reading a FIFO would wait for a writer
    else
      tree[key] = ReadFile(entry.path().string());
  }
  return tree;
}

// The user the privilege tests run as, when we are root.
struct User {
  uid_t uid = static_cast<uid_t>(-1);
  gid_t gid = static_cast<gid_t>(-1);
};
User Unprivileged() {
  User user;
  if (::geteuid() != 0) return user;
  if (const passwd* nobody = ::getpwnam("nobody")) {
    user.uid = nobody->pw_uid;
    user.gid = nobody->pw_gid;
  }
  return user;
}

TEST(BadInput, NotRegularFilesEndWithUsageAndCreateNothing) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "folder.txt").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((dir / "box.ov2").c_str(), 0755), 0);
  // Opening a FIFO for reading waits for a writer unless told not to.
  ASSERT_EQ(::mkfifo((dir / "pipe.txt").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo((dir / "tube.ov2").c_str(), 0644), 0);
  auto before = Snapshot(dir.path());
  for (const char* name : {"folder.txt", "box.ov2"}) {
    SCOPED_TRACE(name);
    ExpectUsage(Ovalith(dir.path(), name), "is a directory");
  }
  for (const char* name : {"pipe.txt", "tube.ov2"}) {
    SCOPED_TRACE(name);
    ExpectUsage(Ovalith(dir.path(), name), "not a regular file");
  }
  EXPECT_EQ(Snapshot(dir.path()), before);

  bool had_ov2 = Exists("/dev/ov2");
  ExpectUsage(Ovalith(dir.path(), "/dev/null"), "not a regular file");
  EXPECT_EQ(Exists("/dev/ov2"), had_ov2);
}

TEST(BadInput, UnreadableFile) {
  TempDir dir;
  User user = Unprivileged();
  if (::geteuid() == 0 && user.uid == static_cast<uid_t>(-1))
    GTEST_SKIP() << "root reads everything and there is no user nobody";
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  WriteFile(dir / "secret.txt", "cannot read me");
  ASSERT_EQ(::chmod((dir / "secret.txt").c_str(), 0), 0);
  ChildResult result =
      RunOvalith({"secret.txt", "/pw=abcd"},
                 {.cwd = dir.path(), .uid = user.uid, .gid = user.gid});
  if (result.status == 127)
    GTEST_SKIP() << "the program is not reachable by user nobody";
  ExpectUsage(result, "Permission denied");
  EXPECT_THAT(ListDir(dir.path()), ElementsAre("secret.txt"));
}

TEST(BadInput, ReadOnlyDirectory) {
  TempDir dir;
  User user = Unprivileged();
  if (::geteuid() == 0 && user.uid == static_cast<uid_t>(-1))
    GTEST_SKIP() << "root writes everywhere and there is no user nobody";
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  WriteFile(dir / "a.txt", "stays");
  WriteFile(dir / "b.ov2", ExpectedContainer("restored", "txt", "abcd"));
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  auto before = Snapshot(dir.path());
  for (const char* name : {"a.txt", "b.ov2"}) {
    SCOPED_TRACE(name);
    ChildResult result =
        RunOvalith({name, "/pw=abcd"},
                   {.cwd = dir.path(), .uid = user.uid, .gid = user.gid});
    if (result.status == 127)
      GTEST_SKIP() << "the program is not reachable by user nobody";
    ExpectUsage(result, "Permission denied");
  }
  EXPECT_EQ(Snapshot(dir.path()), before);
}

// The file goes away while the main window waits for OK.
class RemovingView : public ScriptedView {
 public:
  RemovingView(MemorySystem& system, std::string victim)
      : system_(system), victim_(std::move(victim)) {}
  MainEvent WaitForMainEvent() override {
    system_.Remove(victim_);
    return ScriptedView::WaitForMainEvent();
  }

 private:
  MemorySystem& system_;
  std::string victim_;
};

TEST(BadInput, FileRemovedBeforeOk) {
  for (const char* name : {"a.txt", "a.ov2"}) {
    SCOPED_TRACE(name);
    MemorySystem system({std::string("/") + name});
    system.Write("/a.txt", "plain");
    system.Write("/a.ov2", ExpectedContainer("plain", "txt", "abcd"));
    RemovingView p(system, std::string("/") + name);
    p.PressOk("abcd", "abcd");
    p.Answer(Answer::Yes);
    EXPECT_EQ(RunProgram(system, p), kUsageMessage);
    ASSERT_FALSE(p.Messages().empty());
    EXPECT_THAT(p.Messages().back(), HasSubstr("No such file"));
    // Only the other file of the pair is left, as it was.
    std::string other = name == std::string("a.txt") ? "a.ov2" : "a.txt";
    EXPECT_THAT(system.List("/"), ElementsAre(other));
    EXPECT_EQ(
        system.Read("/" + other),
        other == "a.txt" ? "plain" : ExpectedContainer("plain", "txt", "abcd"));
  }
}

TEST(BadInput, SymbolicLinks) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "work").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((dir / "elsewhere").c_str(), 0755), 0);
  WriteFile(dir / "elsewhere/real.txt", "linked data");
  WriteFile(dir / "elsewhere/target.ov2", "must not be written through");
  std::string work = dir / "work";

  // A link to a file is read through; the output is named after the link
  // and lands beside it.
  fs::create_symlink("../elsewhere/real.txt", work + "/link.txt");
  // An existing output that is a link is replaced, not written through.
  fs::create_symlink("../elsewhere/target.ov2", work + "/link.ov2");
  ChildResult linked = Ovalith(work, "link.txt", "abcd", "y\n");
  EXPECT_EQ(linked.status, 0) << linked.err;
  EXPECT_FALSE(fs::is_symlink(work + "/link.ov2"));
  EXPECT_EQ(ReadFile(work + "/link.ov2"),
            ExpectedContainer("linked data", "txt", "abcd"));
  EXPECT_EQ(ReadFile(dir / "elsewhere/target.ov2"),
            "must not be written through");
  EXPECT_THAT(ListDir(dir / "elsewhere"),
              ElementsAre("real.txt", "target.ov2"));

  fs::create_symlink("missing.txt", work + "/dangling.txt");
  ExpectUsage(Ovalith(work, "dangling.txt"), "No such file");
  EXPECT_THAT(ListDir(work),
              ElementsAre("dangling.txt", "link.ov2", "link.txt"));
}

TEST(BadInput, NamesWithControlCharactersAndInvalidUtf8) {
  TempDir dir;
  for (std::string stem : {"tab\there", "bell\a", "\xff\xfe bad", "nl\nx",
                           "esc\x1b[31m", "\xc3\x28"}) {
    SCOPED_TRACE(ovalith::EscapeName(stem));
    WriteFile(dir / (stem + ".txt"), "data of " + stem);
    ChildResult encrypted = Ovalith(dir.path(), stem + ".txt");
    ASSERT_EQ(encrypted.status, 0) << encrypted.err;
    EXPECT_EQ(ReadFile(dir / (stem + ".ov2")),
              ExpectedContainer("data of " + stem, "txt", "abcd"));
    std::remove((dir / (stem + ".txt")).c_str());
    ChildResult decrypted = Ovalith(dir.path(), stem + ".ov2");
    ASSERT_EQ(decrypted.status, 0) << decrypted.err;
    EXPECT_EQ(ReadFile(dir / (stem + ".txt")), "data of " + stem);
    EXPECT_THAT(ListDir(dir.path()), ElementsAre(stem + ".ov2", stem + ".txt"));
    std::remove((dir / (stem + ".txt")).c_str());
    std::remove((dir / (stem + ".ov2")).c_str());

    // A cause naming such a file must not reach the terminal raw.
    ChildResult missing = Ovalith(dir.path(), stem + ".gone");
    ExpectUsage(missing, "no such file");
    for (char c : missing.err)
      EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20)
          << "raw control byte " << int{c};
  }
}

std::string EncryptedBlocks(const std::string& plain) {
  return EncryptBlocks(plain, "abcd");
}

TEST(BadInput, ContainersOfEverySizeUpTo40Bytes) {
  TempDir dir;
  const std::string header = "Ov2txt  ";
  const std::string data = "ABCDEFGHIJKLMNOPQRSTUVWX";
  for (std::size_t size = 0; size <= 40; ++size) {
    SCOPED_TRACE(size);
    // A good header, whole blocks with the trailer last, and whatever
    // bytes are left over.
    std::size_t blocks = size / 8;
    std::string plain = header;
    if (blocks == 2) plain += "Ov2End.5";
    if (blocks >= 3) plain += data.substr(0, 8 * (blocks - 2)) + "Ov2End.5";
    WriteFile(dir / "a.ov2", EncryptedBlocks(plain.substr(0, 8 * blocks)) +
                                 std::string(size % 8, 'r'));
    ChildResult result = Ovalith(dir.path(), "a.ov2");
    if (size % 8 == 0 && size >= 16) {
      EXPECT_EQ(result.status, 0) << result.err;
      // The last data block keeps the trailer's 5 bytes.
      std::string expected =
          size == 16 ? "" : data.substr(0, 8 * (blocks - 3) + 5);
      EXPECT_EQ(ReadFile(dir / "a.txt"), expected);
      std::remove((dir / "a.txt").c_str());
    } else {
      ExpectUsage(result, "end of file");
    }
    EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2"));

    // A header that does not decrypt to "Ov2": refused once it can be
    // read, then the end of input closes the window.
    WriteFile(dir / "a.ov2", RandomBytes(size, static_cast<unsigned>(size)));
    ChildResult rejected = Ovalith(dir.path(), "a.ov2");
    if (size < 8) {
      ExpectUsage(rejected, "end of file");
    } else {
      EXPECT_EQ(rejected.status, 2) << rejected.err;
      EXPECT_THAT(rejected.err, HasSubstr(kWrongPassword));
    }
    EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2"));
  }
}

TEST(BadInput, TrailerCountsAfterSeveralBlocks) {
  TempDir dir;
  const std::string head = "Ov2txt  ";
  const std::string data = "ABCDEFGHIJKLMNOPQRSTUVWX";
  for (char count : {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '/', ':',
                     'x', ' ', '\0', '\xff'}) {
    SCOPED_TRACE(int{count});
    WriteFile(dir / "a.ov2",
              EncryptedBlocks(head + data + "Ov2End." + std::string(1, count)));
    WriteFile(dir / "a.txt", "precious");
    ChildResult result = Ovalith(dir.path(), "a.ov2", "abcd", "y\n");
    if (count >= '0' && count <= '9') {
      EXPECT_EQ(result.status, 0) << result.err;
      std::size_t keep = std::min<std::size_t>(count - '0', 8);
      EXPECT_EQ(ReadFile(dir / "a.txt"), data.substr(0, 16 + keep));
    } else {
      ExpectUsage(result, "");
      EXPECT_EQ(ReadFile(dir / "a.txt"), "precious");
    }
    EXPECT_THAT(ListDir(dir.path()), ElementsAre("a.ov2", "a.txt"));
  }
}

TEST(BadInput, CraftedExtensionsStayInTheWorkingDirectory) {
  struct Case {
    std::string extension;
    bool plain_with_prefix;  // "a." + extension is an ordinary name
  };
  for (const Case& c :
       {Case{"../", false}, Case{"/", false}, Case{"..//", false},
        Case{std::string("\0ab", 3), false}, Case{"\x01", false},
        Case{"\x7f", false}, Case{"\t", false}, Case{"\r", false},
        Case{" .. ", true}, Case{".", true}}) {
    SCOPED_TRACE(ovalith::EscapeName(c.extension));
    TempDir dir;
    ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir / "sibling").c_str(), 0755), 0);
    WriteFile(dir / "sibling/keep.txt", "sibling file");
    std::string header = ("Ov2" + c.extension + "     ").substr(0, 8);
    std::string container = EncryptedBlocks(header + "12345678Ov2End.8");
    WriteFile(dir / "sub/ov2", container);
    WriteFile(dir / "sub/a.ov2", container);
    auto before = Snapshot(dir.path());

    // Without a prefix the extension alone is the name: never plain here.
    ExpectUsage(Ovalith(dir / "sub", "ov2"), "cannot be written");
    EXPECT_EQ(Snapshot(dir.path()), before);

    ChildResult prefixed = Ovalith(dir / "sub", "a.ov2");
    if (c.plain_with_prefix) {
      EXPECT_EQ(prefixed.status, 0) << prefixed.err;
      auto after = Snapshot(dir.path());
      ASSERT_EQ(after.size(), before.size() + 1);
      // The one new entry is a file directly in sub.
      for (const auto& [path, content] : after)
        if (!before.count(path)) {
          EXPECT_TRUE(path.starts_with("/sub/a.")) << path;
          EXPECT_EQ(path.find('/', 5), std::string::npos) << path;
          EXPECT_EQ(content, "12345678");
        }
    } else {
      ExpectUsage(prefixed, "cannot be written");
      EXPECT_EQ(Snapshot(dir.path()), before);
    }
  }
}

}  // namespace
}  // namespace ovalith::test
