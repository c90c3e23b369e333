// SIGKILL at random moments of runs of several MiB, over an existing file of
// the output name, and a disk too small for the output: the existing file is
// untouched or completely replaced, never partial.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <iostream>
#include <random>
#include <thread>

#include "child_process.h"
#include "test_util.h"

namespace ovalith::test {
namespace {

using ::testing::ElementsAre;

const char kPassword[] = "kill password";
const char kOld[] = "the file that was there before";

struct Tally {
  int untouched = 0, replaced = 0, temp_left = 0;
};

// Kills each run after a random delay within about one and a half times
// the length of an undisturbed run.
Tally KillAtRandom(const std::string& input, const std::string& input_data,
                   const std::string& output, const std::string& expected,
                   int runs) {
  TempDir dir;
  WriteFile(dir / input, input_data);
  std::vector<std::string> argv = {ProgramPath(), input,
                                   std::string("/pw=") + kPassword};
  ChildOptions options{.cwd = dir.path(), .input = "y\n"};

  WriteFile(dir / output, kOld);
  auto start = std::chrono::steady_clock::now();
  ChildResult undisturbed = RunChild(argv, options);
  auto length = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(undisturbed.status, 0) << undisturbed.err;
  EXPECT_TRUE(ReadFile(dir / output) == expected);

  unsigned seed = std::random_device{}();
  std::cout
      << input << ": undisturbed run "
      << std::chrono::duration_cast<std::chrono::milliseconds>(length).count()
      << " ms, seed " << seed << "\n";
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> delay_us(
      0, std::chrono::duration_cast<std::chrono::microseconds>(length * 3 / 2)
             .count());
  Tally tally;
  for (int i = 0; i < runs; ++i) {
    WriteFile(dir / output, kOld);
    ChildProcess child(argv, options);
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
    child.Kill(SIGKILL);
    child.Wait();

    std::string now = ReadFile(dir / output);
    bool untouched = now == kOld;
    bool replaced = now == expected;
    EXPECT_TRUE(untouched || replaced)
        << "run " << i << ": output of " << now.size() << " bytes";
    tally.untouched += untouched;
    tally.replaced += replaced;
    EXPECT_TRUE(ReadFile(dir / input) == input_data);
    std::vector<std::string> extra;
    for (const std::string& name : ListDir(dir.path()))
      if (name != input && name != output) extra.push_back(name);
    EXPECT_LE(extra.size(), 1u) << "run " << i;
    for (const std::string& name : extra) {
      EXPECT_TRUE(name.starts_with(output + ".ovalith-partial-")) << name;
      std::remove((dir / name).c_str());
      ++tally.temp_left;
    }
  }
  std::cout << input << ": " << runs << " kills: " << tally.untouched
            << " left the old file, " << tally.replaced
            << " found it replaced, " << tally.temp_left
            << " left a temporary file\n";
  return tally;
}

TEST(Interrupted, EncryptionKilledAtRandomMoments) {
  std::string plain = RandomBytes(6 * 1024 * 1024 + 3, 11);
  Tally tally = KillAtRandom("big.dat", plain, "big.ov2",
                             ExpectedContainer(plain, "dat", kPassword), 30);
  // Kills that landed in the middle of a run are what this test is about.
  EXPECT_GT(tally.untouched, 0);
}

TEST(Interrupted, DecryptionKilledAtRandomMoments) {
  std::string plain = RandomBytes(6 * 1024 * 1024 + 3, 12);
  Tally tally =
      KillAtRandom("big.ov2", ExpectedContainer(plain, "dat", kPassword),
                   "big.dat", plain, 30);
  EXPECT_GT(tally.untouched, 0);
}

// A tmpfs of 1 MiB holds the input but not the output beside it.
class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
    disk_ = dir_ / "disk";
    ASSERT_EQ(::mkdir(disk_.c_str(), 0755), 0);
    if (::mount("tmpfs", disk_.c_str(), "tmpfs", 0, "size=1m") != 0)
      GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount2(disk_.c_str(), MNT_DETACH);
  }

  void ExpectNoRoom(const std::string& input, const std::string& data,
                    const std::string& output) {
    WriteFile(disk_ + "/" + input, data);
    WriteFile(disk_ + "/" + output, kOld);
    ChildResult result = RunOvalith({input, std::string("/pw=") + kPassword},
                                    {.cwd = disk_, .input = "y\n"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(kUsageLines), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("No space left on device"), std::string::npos)
        << result.err;
    EXPECT_EQ(ReadFile(disk_ + "/" + output), kOld);
    EXPECT_TRUE(ReadFile(disk_ + "/" + input) == data);
    std::vector<std::string> expected = {input, output};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListDir(disk_), expected);
  }

  TempDir dir_;
  std::string disk_;
  bool mounted_ = false;
};

TEST_F(FullDisk, ContainerThatDoesNotFit) {
  // A small file fits, so the disk itself works.
  WriteFile(disk_ + "/small.txt", "fits");
  ASSERT_EQ(RunOvalith({"small.txt", "/pw=abcd"}, {.cwd = disk_}).status, 0);
  std::remove((disk_ + "/small.txt").c_str());
  std::remove((disk_ + "/small.ov2").c_str());
  ExpectNoRoom("big.dat", RandomBytes(700 * 1024, 3), "big.ov2");
}

TEST_F(FullDisk, RestoredFileThatDoesNotFit) {
  ExpectNoRoom("big.ov2",
               ExpectedContainer(RandomBytes(700 * 1024, 4), "dat", kPassword),
               "big.dat");
}

}  // namespace
}  // namespace ovalith::test
