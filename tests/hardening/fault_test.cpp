// Injected system-call failures at the first, a middle and the last block of
// both runs, over an existing file of the output name: every one must end
// with the usage message and its cause, no temporary file, and the existing
// file byte for byte as it was.  Prints the table of faults and outcomes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "child_process.h"
#include "test_util.h"

namespace ovalith::test {
namespace {

using ::testing::ElementsAre;

struct RunFiles {
  const char* name;
  const char* input;   // in the working directory
  const char* output;  // exists before the run
};

const RunFiles kEncrypt{"encrypt", "plain.dat", "plain.ov2"};
const RunFiles kDecrypt{"decrypt", "plain.ov2", "plain.dat"};
const char kPassword[] = "fault password";
const char kOldOutput[] = "an older file that must survive every failure";

// Not a multiple of 8 and many read and write calls long.
const std::string& Plain() {
  static const std::string plain = RandomBytes(3 * 1024 * 1024 + 5, 42);
  return plain;
}
const std::string& Container() {
  static const std::string container =
      ExpectedContainer(Plain(), "dat", kPassword);
  return container;
}

std::string AsanOptions() {
  const char* options = std::getenv("ASAN_OPTIONS");
  return options && *options ? std::string(options) + ":" : "";
}

struct FaultPoint {
  const char* call;
  const char* file;  // "input" or "temporary"
};

const FaultPoint kPoints[] = {
    {"open", "input"},
    {"read", "input"},
    {"open", "temporary"},
    {"write", "temporary"},
    {"fsync", "temporary"},
    {"close", "temporary"},
    {"rename", "temporary"},
    // The replaced file's permissions handed on.
    {"chmod", "temporary"},
};

const struct {
  const char* name;
  int value;
} kErrnos[] = {{"ENOSPC", ENOSPC}, {"EIO", EIO}, {"EACCES", EACCES}};

class FaultRun {
 public:
  explicit FaultRun(const RunFiles& files) : files_(files) {
    WriteFile(dir_ / files.input, files.input == std::string(kEncrypt.input)
                                      ? Plain()
                                      : Container());
    WriteFile(dir_ / files.output, kOldOutput);
  }

  std::string Pattern(const FaultPoint& point) const {
    return point.file == std::string("input") ? "*/" + std::string(files_.input)
                                              : "*.ovalith-partial-*";
  }

  // Runs with the fault armed; returns the number of matching calls the
  // run made and whether the fault was injected.
  std::pair<long, bool> Run(const FaultPoint& point, long nth,
                            const char* error, ChildResult& result) {
    std::string report = dir_.path() + "-report";
    result = RunOvalith(
        {files_.input, std::string("/pw=") + kPassword},
        {.cwd = dir_.path(),
         .input = "y\n",
         .env = {
             "LD_PRELOAD=" + FaultLibraryPath(),
             std::string("OVALITH_FAULT_CALL=") + point.call,
             "OVALITH_FAULT_PATH=" + Pattern(point),
             "OVALITH_FAULT_NTH=" + std::to_string(nth),
             std::string("OVALITH_FAULT_ERRNO=") + error,
             "OVALITH_FAULT_REPORT=" + report,
             // The preloaded library comes before the sanitizer's.
             "ASAN_OPTIONS=" + AsanOptions() + "verify_asan_link_order=0"}});
    long calls = -1;
    int injected = 0;
    std::istringstream(ReadFile(report)) >> calls >> injected;
    std::remove(report.c_str());
    return {calls, injected != 0};
  }

  const TempDir& dir() const { return dir_; }

 private:
  RunFiles files_;
  TempDir dir_;
};

std::string Row(const std::vector<std::string>& cells) {
  static const int kWidths[] = {8, 6, 10, 10, 7, 7, 12, 10, 10};
  std::ostringstream row;
  for (std::size_t i = 0; i < cells.size(); ++i)
    row << "| " << std::left << std::setw(kWidths[i]) << cells[i] << " ";
  return row.str() + "|";
}

void InjectEverywhere(const RunFiles& files) {
  FaultRun run(files);
  std::cout << Row({"dir", "call", "file", "occurrence", "errno", "status",
                    "usage+cause", "temp left", "old kept"})
            << "\n";
  for (const FaultPoint& point : kPoints) {
    ChildResult clean;
    long calls = run.Run(point, 0, "EIO", clean).first;
    ASSERT_EQ(clean.status, 0) << clean.err;
    ASSERT_GT(calls, 0) << point.call << " " << point.file;
    // The completed run replaced the old file: put it back.
    WriteFile(run.dir() / files.output, kOldOutput);
    WriteFile(
        run.dir() / files.input,
        files.input == std::string(kEncrypt.input) ? Plain() : Container());

    std::vector<long> occurrences = {1};
    if (calls > 2) occurrences.push_back((calls + 1) / 2);
    if (calls > 1) occurrences.push_back(calls);
    for (long nth : occurrences) {
      for (const auto& error : kErrnos) {
        SCOPED_TRACE(std::string(point.call) + " " + point.file + " #" +
                     std::to_string(nth) + " " + error.name);
        ChildResult result;
        bool injected = run.Run(point, nth, error.name, result).second;
        bool usage =
            result.err.find(kUsageLines) != std::string::npos &&
            result.err.find(std::strerror(error.value)) != std::string::npos;
        std::vector<std::string> names = ListDir(run.dir().path());
        bool temp_left = names.size() != 2;
        bool old_kept = ReadFile(run.dir() / files.output) == kOldOutput;
        std::cout << Row({files.name, point.call, point.file,
                          std::to_string(nth) + "/" + std::to_string(calls),
                          error.name, std::to_string(result.status),
                          usage ? "yes" : "NO", temp_left ? "YES" : "no",
                          old_kept ? "yes" : "NO"})
                  << std::endl;
        EXPECT_TRUE(injected);
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(usage) << result.err;
        EXPECT_THAT(names, ElementsAre("plain.dat", "plain.ov2"));
        EXPECT_TRUE(old_kept);
        EXPECT_TRUE(ReadFile(run.dir() / files.input) ==
                    (files.input == std::string(kEncrypt.input) ? Plain()
                                                                : Container()));
        // Start the next run from the same state, whatever this one left.
        for (const std::string& name : names)
          if (name != files.input && name != files.output)
            std::remove((run.dir() / name).c_str());
        WriteFile(run.dir() / files.output, kOldOutput);
      }
    }
  }
}

TEST(FaultInjection, EncryptionOverAnExistingContainer) {
  InjectEverywhere(kEncrypt);
}

TEST(FaultInjection, DecryptionOverAnExistingPlainFile) {
  InjectEverywhere(kDecrypt);
}

}  // namespace
}  // namespace ovalith::test
