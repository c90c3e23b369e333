// A set of files through the scripted front end on the in-memory system:
// what the window shows, the progress over the set, stopping, and the
// questions of a set.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scripted_run.h"
#include "test_util.h"
#include "ui/frm_main.h"

namespace ovalith {
namespace {

using test::Disk;
using test::ExpectedContainer;
using test::In;
using test::RunOn;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(SetRun, TheWindowNamesTheSetAndItsModeAndTheBarCoversTheSet) {
  Disk fs;
  fs.Write(In("a.txt"), std::string(1000, 'a'));
  fs.Write(In("b.txt"), std::string(3000, 'b'));
  fs.Write(In("c.ov2"), ExpectedContainer("cc", "md", "abcd"));
  ScriptedView p;
  p.PressOk("abcd", "abcd");
  EXPECT_EQ(RunOn(fs, p, {In("a.txt"), In("b.txt"), In("c.ov2")}), kCompleted);
  EXPECT_EQ(p.text[Control::lblFile], "a.txt and 2 more");
  EXPECT_EQ(p.details, "a.txt\nb.txt\nc.ov2");
  // A mixed set: both boxes, and a button that is neither of the two.
  EXPECT_EQ(p.text[Control::cmdOK], "OK");
  EXPECT_FALSE(p.visible.contains(Control::txtPW2));
  EXPECT_EQ(p.progress_max, 4000u + 24u);
  EXPECT_THAT(p.log, Contains("step: 2 of 3: b.txt"));
  EXPECT_THAT(p.log, Contains("progress: Decrypting..."));
  EXPECT_EQ(fs.Read(In("c.md")), "cc");

  Disk containers;
  containers.Write(In("x.ov2"), ExpectedContainer("x", "txt", "abcd"));
  containers.Write(In("y.ov2"), ExpectedContainer("y", "txt", "abcd"));
  ScriptedView q;
  q.PressOk("abcd");
  EXPECT_EQ(RunOn(containers, q, {In("x.ov2"), In("y.ov2")}), kCompleted);
  EXPECT_EQ(q.text[Control::cmdOK], "Decrypt");
  EXPECT_EQ(q.visible[Control::txtPW2], false);
}

TEST(SetRun, PasswordChecksComeOnceBeforeAnythingIsWritten) {
  Disk fs;
  fs.Write(In("a.txt"), "plain");
  fs.Write(In("b.ov2"), ExpectedContainer("b", "txt", "right"));
  const auto before = fs.Snapshot();
  ScriptedView p;
  p.PressOk("abc", "abc");
  p.PressOk("abcd", "abce");
  p.PressOk("wrong", "wrong");
  EXPECT_EQ(RunOn(fs, p, {In("a.txt"), In("b.ov2")}), kNotCompleted);
  EXPECT_THAT(p.Messages(),
              ElementsAre("information: The password must be at least 4 "
                          "characters.",
                          "information: Both passwords are not equal !!",
                          "information: Wrong password or not an Ovalith 2.0 "
                          "file"));
  EXPECT_EQ(fs.Snapshot(), before);
}

TEST(SetRun, StoppingLeavesTheFileInProgressAndThoseAfterItUntouched) {
  Disk fs;
  fs.Write(In("a.txt"), "first");
  fs.Write(In("big.bin"), std::string(4 << 20, 'x'));
  fs.Write(In("big.ov2"), "older container");
  fs.Write(In("z.txt"), "last");
  ScriptedView p;
  p.Answer(Answer::Yes);
  p.StopAfterUpdates(2);
  EXPECT_EQ(RunOn(fs, p, {In("a.txt"), In("big.bin"), In("z.txt"), "/pw=abcd"}),
            kNotCompleted);
  EXPECT_EQ(fs.Read(In("a.ov2")), ExpectedContainer("first", "txt", "abcd"));
  EXPECT_EQ(fs.Read(In("big.ov2")), "older container");
  EXPECT_THAT(fs.Files(),
              ElementsAre("a.ov2", "a.txt", "big.bin", "big.ov2", "z.txt"));
  EXPECT_THAT(p.Messages().back(), HasSubstr("big.bin: stopped"));
  EXPECT_THAT(p.Messages().back(), HasSubstr("z.txt: not reached"));
}

TEST(SetRun, ASingleFileStopsTooAndEndsWithoutAMessage) {
  Disk fs;
  fs.Write(In("big.bin"), std::string(4 << 20, 'x'));
  const auto before = fs.Snapshot();
  ScriptedView p;
  p.StopAfterUpdates(1);
  EXPECT_EQ(RunOn(fs, p, {In("big.bin"), "/pw=abcd"}), kNotCompleted);
  EXPECT_EQ(fs.Snapshot(), before);
  EXPECT_THAT(p.Messages(), ElementsAre());
}

TEST(SetRun, CancelInTheQuestionStopsTheSet) {
  Disk fs;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) fs.Write(In(name), name);
  fs.Write(In("b.ov2"), "older");
  fs.Write(In("c.ov2"), "older");
  ScriptedView p;
  p.Answer(Answer::Cancel);
  EXPECT_EQ(RunOn(fs, p, {In("a.txt"), In("b.txt"), In("c.txt"), "/pw=abcd"}),
            kNotCompleted);
  EXPECT_THAT(
      p.log,
      Contains("question: File already exists !\r\nb.ov2\r\nOverwrite ?"));
  EXPECT_EQ(fs.Read(In("a.ov2")), ExpectedContainer("a.txt", "txt", "abcd"));
  EXPECT_EQ(fs.Read(In("b.ov2")), "older");
  EXPECT_EQ(fs.Read(In("c.ov2")), "older");
}

TEST(SetRun, AFailingSystemCallFailsOnlyItsFile) {
  Disk fs;
  fs.Write(In("a.txt"), "first");
  fs.Write(In("b.txt"), "second");
  // The second file's output cannot be flushed to the disk.
  fs.FailAt("Close", 2, "No space left on device");
  ScriptedView p;
  EXPECT_EQ(RunOn(fs, p, {In("a.txt"), In("b.txt"), "/pw=abcd"}),
            kUsageMessage);
  EXPECT_EQ(fs.Read(In("a.ov2")), ExpectedContainer("first", "txt", "abcd"));
  EXPECT_THAT(fs.Files(), ElementsAre("a.ov2", "a.txt", "b.txt"));
  EXPECT_THAT(p.Messages().back(), HasSubstr("No space left on device"));
  EXPECT_EQ(p.UsageCause(), "");
}

}  // namespace
}  // namespace ovalith
