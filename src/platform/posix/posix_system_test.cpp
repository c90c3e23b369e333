// The real POSIX system where the in-memory one cannot stand in: paths
// longer than the system takes in one call, what a directory lists, modes
// and exclusive creation on a real file system.
#include "platform/posix/posix_system.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/executable_directory.h"
#include "test_util.h"

namespace ovalith {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using ::testing::HasSubstr;

std::string ReadAll(InputFile& file) {
  std::string data(file.Size(), '\0');
  std::size_t got =
      file.Read(reinterpret_cast<std::uint8_t*>(data.data()), data.size());
  data.resize(got);
  return data;
}

// Makes directories of 200-character names under dir until the path is at
// least length long, and a file "deep.txt" in the last; returns its
// directory.  Made a step at a time, since the whole path is too long for
// one call.
std::string DeepDirectory(const std::string& dir, std::size_t length) {
  std::string path = dir;
  int fd = ::open(dir.c_str(), O_PATH | O_DIRECTORY);
  for (char c = 'a'; path.size() < length; ++c) {
    std::string name(200, c);
    EXPECT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
    int next = ::openat(fd, name.c_str(), O_PATH | O_DIRECTORY);
    ::close(fd);
    fd = next;
    path += "/" + name;
  }
  int file = ::openat(fd, "deep.txt", O_WRONLY | O_CREAT, 0644);
  EXPECT_EQ(::write(file, "deep", 4), 4);
  ::close(file);
  ::close(fd);
  return path;
}

TEST(PosixSystem, PathsShorterAndLongerThanOneCallTakes) {
  for (std::size_t length : {300u, 4500u}) {
    SCOPED_TRACE(length);
    TempDir dir;
    std::string deep = DeepDirectory(dir.path(), length);
    ASSERT_GE(deep.size(), length);
    PosixSystem system({}, "");
    EXPECT_EQ(ReadAll(*system.OpenInput(deep + "/deep.txt")), "deep");
    system.EnterDirectory(deep + "/");
    EXPECT_EQ(system.LookUp("deep.txt"), "deep.txt");
    EXPECT_EQ(system.AbsolutePath("deep.txt"), deep + "/deep.txt");
    EXPECT_THROW(system.OpenInput(deep + "/missing.txt"), Failure);
    EXPECT_THROW(system.EnterDirectory(deep + "/missing/"), Failure);
  }
}

TEST(PosixSystem, LookUpFindsOnlyEntriesTheFileSystemMatches) {
  TempDir dir;
  WriteFile(dir / "a.txt", "a");
  ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
  PosixSystem system({}, "");
  system.EnterDirectory(dir.path());
  EXPECT_EQ(system.LookUp("a.txt"), "a.txt");
  EXPECT_EQ(system.LookUp("folder"), "folder");
  EXPECT_EQ(system.LookUp("pipe"), "pipe");
  for (const char* name : {"", "b.txt", "a.tx", "folder/", "../a.txt"})
    EXPECT_EQ(system.LookUp(name), std::nullopt) << name;
  // Another letter case only where the file system folds case; Linux's
  // usual file systems do not.
  struct stat st;
  if (::stat((dir / "A.TXT").c_str(), &st) != 0) {
    EXPECT_EQ(system.LookUp("A.TXT"), std::nullopt);
  }
  EXPECT_TRUE(system.IsDirectory("folder"));
  EXPECT_FALSE(system.IsDirectory("a.txt"));
}

TEST(PosixSystem, OnlyRegularFilesAreOpenedForInput) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
  PosixSystem system({}, "");
  try {
    system.OpenInput(dir / "folder");
    ADD_FAILURE() << "a directory was opened";
  } catch (const Failure& failure) {
    EXPECT_THAT(failure.what(), HasSubstr("is a directory"));
  }
  // Must not wait for a writer.
  try {
    system.OpenInput(dir / "pipe");
    ADD_FAILURE() << "a FIFO was opened";
  } catch (const Failure& failure) {
    EXPECT_THAT(failure.what(), HasSubstr("not a regular file"));
  }
}

TEST(PosixSystem, CreateNewIsExclusiveAndReplaceKeepsTheMode) {
  TempDir dir;
  PosixSystem system({}, "");
  system.EnterDirectory(dir.path());
  mode_t mask = ::umask(022);
  std::unique_ptr<OutputFile> out = system.CreateNew("new.tmp");
  ::umask(mask);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(system.CreateNew("new.tmp"), nullptr);
  const std::uint8_t data[] = {'n', 'e', 'w'};
  out->Write(data, sizeof data);
  out->Close();
  struct stat st;
  ASSERT_EQ(::stat((dir / "new.tmp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);

  WriteFile(dir / "final", "old");
  ASSERT_EQ(::chmod((dir / "final").c_str(), 0600), 0);
  system.ReplaceFile("new.tmp", "final");
  EXPECT_EQ(ReadFile(dir / "final"), "new");
  ASSERT_EQ(::stat((dir / "final").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_FALSE(test::Exists(dir / "new.tmp"));

  system.RemoveFile("final");
  EXPECT_FALSE(test::Exists(dir / "final"));
}

TEST(PosixSystem, CipherLibraryFromTheProgramsDirectory) {
  PosixSystem system({}, LinuxExecutableDirectory());
  void* library = system.LoadLibrary("ovalith");
  EXPECT_NE(system.FindEntryPoint(library, "encrypt"), nullptr);
  EXPECT_NE(system.FindEntryPoint(library, "decrypt"), nullptr);
  EXPECT_EQ(system.FindEntryPoint(library, "no_such_entry"), nullptr);
  try {
    system.LoadLibrary("ovalith_missing");
    ADD_FAILURE() << "a missing library was loaded";
  } catch (const Failure& failure) {
    EXPECT_THAT(failure.what(), HasSubstr("libovalith_missing.so"));
  }
}

TEST(PosixSystem, CommandLineFromArguments) {
  PosixSystem system({"my", "file.txt", "/pw=a", "b"}, "");
  CommandLine line = system.ReadCommandLine();
  EXPECT_EQ(line.path, "my file.txt");
  EXPECT_EQ(line.password, "a b");
}

}  // namespace
}  // namespace ovalith
