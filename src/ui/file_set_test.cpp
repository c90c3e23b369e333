#include "ui/file_set.h"

#include <gtest/gtest.h>

namespace ovalith {
namespace {

SetFile File(const std::string& name, FileResult result,
             const std::string& why = "") {
  SetFile file;
  file.given = name;
  file.path = "/dir/" + name;
  file.listed = name;
  file.result = result;
  file.why = why;
  return file;
}

TEST(FileSet, LabelAndDetails) {
  EXPECT_EQ(SetLabel({File("a.txt", FileResult::kPending)}), "a.txt");
  std::vector<SetFile> files = {File("a.txt", FileResult::kPending),
                                File("b.txt", FileResult::kPending),
                                File("c.txt", FileResult::kPending)};
  EXPECT_EQ(SetLabel(files), "a.txt and 2 more");
  EXPECT_EQ(SetDetails(files), "a.txt\nb.txt\nc.txt");
}

TEST(FileSet, SummaryNamesEachFileOnceAndTheStatusSaysTheWorst) {
  std::vector<SetFile> files = {File("a.txt", FileResult::kDone)};
  EXPECT_EQ(SetSummary(files), "");
  EXPECT_EQ(SetStatus(files), 0);

  files.push_back(File("b.txt", FileResult::kDeclined, "b.ov2 exists"));
  EXPECT_EQ(SetSummary(files),
            "1 of 2 files was not done:\r\nb.txt: not done: b.ov2 exists");
  files.push_back(File("c.txt", FileResult::kStopped));
  files.push_back(File("d.txt", FileResult::kPending));
  EXPECT_EQ(SetStatus(files), 2);
  files.push_back(
      File("e.txt", FileResult::kFailed, "/dir/e.txt: Permission denied"));
  files.push_back(File("f.txt", FileResult::kFailed, "f.ov2: disk full"));
  EXPECT_EQ(SetStatus(files), 1);
  EXPECT_EQ(SetSummary(files),
            "5 of 6 files were not done:\r\n"
            "b.txt: not done: b.ov2 exists\r\n"
            "c.txt: stopped before it was done\r\n"
            "d.txt: not reached\r\n"
            "e.txt: Permission denied\r\n"
            "f.txt: f.ov2: disk full");
}

}  // namespace
}  // namespace ovalith
