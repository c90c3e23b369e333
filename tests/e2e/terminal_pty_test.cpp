// terminal_pty_test.cpp: the built program on a pseudo-terminal, as a user
// at a terminal sees it: masked fields, the keys that edit them and end
// the window, messages, and the terminal given back as it was found.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "test_util.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ovalith::test::ReadFile;
using ovalith::test::TerminalChild;
using ovalith::test::WriteFile;

class TerminalPty : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/ovalith-pty-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
    WriteFile(dir_ / "a.txt", kPlain);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Encrypts a.txt through the window with password.
  void Encrypt(const std::string& password) {
    TerminalChild program(dir_, {"a.txt"});
    program.WaitFor("Enter password again :");
    program.Type(password + "\r" + password + "\r");
    ASSERT_EQ(program.ExitStatus(), 0) << program.output();
  }

  static constexpr const char* kPlain = "plain text, twenty-six b\n";
  fs::path dir_;
};

TEST_F(TerminalPty, TypedPasswordIsMaskedEditableAndEncrypts) {
  TerminalChild program(dir_, {"a.txt"});
  program.WaitFor("Ovalith 2.0");
  program.WaitFor("File : a.txt");
  const std::size_t typed_from = program.WaitFor("[Esc] Cancel");
  // A slip corrected with Backspace: the password is "secret".
  program.Type("secreX");
  program.WaitFor("******", typed_from);
  program.Type(
      "\x7f"
      "t");
  program.Type("\r");
  program.Type("secret\r");
  EXPECT_EQ(program.ExitStatus(), 0);

  // Nothing of what was typed reached the screen; until the run begins,
  // only the labels of the fields, redrawn while typing, hold letters.
  std::string shown = program.output().substr(typed_from);
  shown = shown.substr(0, shown.find("Encrypting..."));
  for (const std::string label :
       {"Enter password again :", "Enter password :"}) {
    for (auto at = shown.find(label); at != std::string::npos;
         at = shown.find(label)) {
      shown.erase(at, label.size());
    }
  }
  EXPECT_EQ(shown.find_first_of("secrXt"), std::string::npos) << shown;
  program.ExpectSettingsRestored();
  ASSERT_TRUE(fs::exists(dir_ / "a.ov2"));

  // The container opens with the corrected password, typed once.
  fs::remove(dir_ / "a.txt");
  TerminalChild decrypt(dir_, {"a.ov2"});
  decrypt.WaitFor("Decrypt");
  decrypt.WaitFor("Enter password :");
  EXPECT_EQ(decrypt.output().find("Enter password again :"), std::string::npos);
  decrypt.Type("secret\r");
  EXPECT_EQ(decrypt.ExitStatus(), 0);
  EXPECT_EQ(ReadFile(dir_ / "a.txt"), kPlain);
}

TEST_F(TerminalPty, EscapeCancelsAndCtrlCOrCtrlDClose) {
  for (const std::string key : {"\x1b", "\x03", "\x04"}) {
    SCOPED_TRACE(static_cast<int>(key[0]));
    TerminalChild program(dir_, {"a.txt"});
    program.WaitFor("[Enter] Encrypt");
    program.Type(key);
    EXPECT_EQ(program.ExitStatus(), 2);
    program.ExpectSettingsRestored();
    EXPECT_FALSE(fs::exists(dir_ / "a.ov2"));
  }
}

TEST_F(TerminalPty, CtrlDInAFilledFieldDoesNotClose) {
  TerminalChild program(dir_, {"a.txt"});
  const std::size_t from = program.WaitFor("[Enter] Encrypt");
  program.Type("abcd\x04");
  program.WaitFor("****", from);
  program.Type("\rabcd\r");
  EXPECT_EQ(program.ExitStatus(), 0);
  EXPECT_TRUE(fs::exists(dir_ / "a.ov2"));
}

TEST_F(TerminalPty, RefusedRunsBringTheWindowBackReadyToBeTypedOver) {
  TerminalChild program(dir_, {"a.txt"});
  program.WaitFor("[Enter] Encrypt");
  program.Type("abcd\rabce\r");
  std::size_t at = program.WaitFor("Both passwords are not equal !!");
  at = program.WaitFor("Enter password :", at);
  // The kept texts are shown again, masked.
  at = program.WaitFor("****", at);
  at = program.WaitFor("[Enter] Encrypt", at);
  EXPECT_FALSE(fs::exists(dir_ / "a.ov2"));

  // The first field has the focus; what is typed replaces the kept text
  // (Backspace first clears it whole), it is not added to it.
  program.Type("wxyz\r\x7fwxyz\r");
  EXPECT_EQ(program.ExitStatus(), 0);
  program.ExpectSettingsRestored();
  ASSERT_TRUE(fs::exists(dir_ / "a.ov2"));
  fs::remove(dir_ / "a.txt");
  ovalith::test::ChildOptions in_dir;
  in_dir.cwd = dir_;
  EXPECT_EQ(ovalith::test::RunOvalith({"a.ov2", "/pw=wxyz"}, in_dir).status, 0);
  EXPECT_EQ(ReadFile(dir_ / "a.txt"), kPlain);
}

TEST_F(TerminalPty, OverwriteQuestionTakesItsAnswerFromTheKeys) {
  Encrypt("first");
  const std::string first = ReadFile(dir_ / "a.ov2");

  TerminalChild program(dir_, {"a.txt"});
  program.WaitFor("[Enter] Encrypt");
  program.Type("second\rsecond\r");
  std::size_t at = program.WaitFor("File already exists !");
  at = program.WaitFor("Overwrite ? [y/N] ", at);
  program.Type("n");
  at = program.WaitFor("[Enter] Encrypt", at);
  EXPECT_EQ(ReadFile(dir_ / "a.ov2"), first);

  program.Type("\r\r");
  at = program.WaitFor("Overwrite ? [y/N] ", at);
  program.Type("y");
  EXPECT_EQ(program.ExitStatus(), 0);
  EXPECT_NE(ReadFile(dir_ / "a.ov2"), first);
}

TEST_F(TerminalPty, SigtermRestoresTheTerminalThenEndsTheProgram) {
  TerminalChild program(dir_, {"a.txt"});
  program.WaitFor("[Enter] Encrypt");
  kill(program.pid(), SIGTERM);
  const int status = program.Wait();
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  program.ExpectSettingsRestored();
}

TEST_F(TerminalPty, InterruptDuringARunStopsItLeavingNothingBehind) {
  // Large enough, and on the slowest cipher path, that the run is still
  // going when the key arrives; sparse, so it costs no disk to make.
  WriteFile(dir_ / "big.bin", "");
  fs::resize_file(dir_ / "big.bin", 1u << 30);
  ::setenv("OVALITH_DES_PATH", "word64", 1);
  TerminalChild program(dir_, {"big.bin"});
  ::unsetenv("OVALITH_DES_PATH");
  program.WaitFor("[Esc] Cancel");
  program.Type("abcd\rabcd\r");
  // Once the bar shows bytes done, the output file is being written.
  program.WaitFor("iB / 1.0 GiB");
  program.Type("\x03");
  const int status = program.Wait();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2) << "0: the run ended before the key came";
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_)) {
    left.push_back(entry.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"a.txt", "big.bin"}));
  program.ExpectSettingsRestored();
}

TEST_F(TerminalPty, ControlCharactersInTheNameAreShownEscaped) {
  WriteFile(dir_ / "a\x1b]0;x\x07.txt", "text");
  TerminalChild program(dir_, {"a\x1b]0;x\x07.txt"});
  program.WaitFor("File : a\\x1b]0;x\\x07.txt");
  EXPECT_EQ(program.output().find('\x07'), std::string::npos);
  program.Type("\x1b");
  EXPECT_EQ(program.ExitStatus(), 2);
}

}  // namespace
