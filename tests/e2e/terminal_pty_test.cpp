// terminal_pty_test.cpp: the built program on a pseudo-terminal, as a user
// at a terminal sees it: masked fields, the keys that edit them and end
// the window, messages, and the terminal given back as it was found.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kPatience = 10s;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The program running on the slave side of a pseudo-terminal; the test
// keeps the slave open too, to look at its settings.
class PtyProgram {
 public:
  PtyProgram(const fs::path& dir, std::vector<std::string> args) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;
    if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
      ADD_FAILURE() << "openpty failed";
      return;
    }
    tcgetattr(slave_, &initial_);
    pid_ = fork();
    if (pid_ == 0) {
      close(master_);
      const int slave = dup(slave_);
      if (login_tty(slave) != 0 || chdir(dir.c_str()) != 0) _exit(127);
      std::vector<char*> argv = {const_cast<char*>("ovalith")};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(OVALITH_BINARY, argv.data());
      _exit(127);
    }
  }

  ~PtyProgram() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
  }

  void Type(const std::string& keys) {
    ASSERT_EQ(write(master_, keys.data(), keys.size()),
              static_cast<ssize_t>(keys.size()));
  }

  // Waits until text appears in the output at or after from; returns the
  // position just behind it, or npos.
  std::size_t WaitFor(const std::string& text, std::size_t from = 0) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
      const std::size_t at = output_.find(text, from);
      if (at != std::string::npos) return at + text.size();
      if (std::chrono::steady_clock::now() > deadline || Pump(100) < 0) {
        ADD_FAILURE() << "never saw \"" << text << "\" in:\n" << output_;
        return std::string::npos;
      }
    }
  }

  // Waits for the end; the raw wait status.
  int Wait() {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
      if (Pump(20) < 0) std::this_thread::sleep_for(5ms);
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        while (Pump(0) > 0) {
        }
        return status;
      }
    }
    ADD_FAILURE() << "the program did not end; output:\n" << output_;
    return -1;
  }

  int ExitStatus() {
    const int status = Wait();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  pid_t pid() const { return pid_; }
  const std::string& output() const { return output_; }

  // The terminal's settings now, against those it had before the start.
  void ExpectSettingsRestored() {
    termios now{};
    ASSERT_EQ(tcgetattr(slave_, &now), 0);
    EXPECT_NE(now.c_lflag & ECHO, 0u);
    EXPECT_NE(now.c_lflag & ICANON, 0u);
    EXPECT_EQ(now.c_lflag, initial_.c_lflag);
    EXPECT_EQ(now.c_iflag, initial_.c_iflag);
    EXPECT_EQ(now.c_oflag, initial_.c_oflag);
    EXPECT_EQ(now.c_cc[VMIN], initial_.c_cc[VMIN]);
  }

 private:
  // Reads what comes within ms: bytes read, 0 for none, -1 once the
  // program's side is gone.
  ssize_t Pump(int ms) {
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0) return 0;
    char buf[4096];
    const ssize_t n = read(master_, buf, sizeof buf);
    if (n <= 0) return -1;
    output_.append(buf, static_cast<std::size_t>(n));
    return n;
  }

  int master_ = -1;
  int slave_ = -1;
  pid_t pid_ = -1;
  bool exited_ = false;
  termios initial_{};
  std::string output_;
};

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
    PtyProgram program(dir_, {"a.txt"});
    program.WaitFor("Enter password again :");
    program.Type(password + "\r" + password + "\r");
    ASSERT_EQ(program.ExitStatus(), 0) << program.output();
  }

  static constexpr const char* kPlain = "plain text, twenty-six b\n";
  fs::path dir_;
};

TEST_F(TerminalPty, TypedPasswordIsMaskedEditableAndEncrypts) {
  PtyProgram program(dir_, {"a.txt"});
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
  PtyProgram decrypt(dir_, {"a.ov2"});
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
    PtyProgram program(dir_, {"a.txt"});
    program.WaitFor("[Enter] Encrypt");
    program.Type(key);
    EXPECT_EQ(program.ExitStatus(), 2);
    program.ExpectSettingsRestored();
    EXPECT_FALSE(fs::exists(dir_ / "a.ov2"));
  }
}

TEST_F(TerminalPty, CtrlDInAFilledFieldDoesNotClose) {
  PtyProgram program(dir_, {"a.txt"});
  const std::size_t from = program.WaitFor("[Enter] Encrypt");
  program.Type("abcd\x04");
  program.WaitFor("****", from);
  program.Type("\rabcd\r");
  EXPECT_EQ(program.ExitStatus(), 0);
  EXPECT_TRUE(fs::exists(dir_ / "a.ov2"));
}

TEST_F(TerminalPty, RefusedRunsBringTheWindowBackWithTheFieldsKept) {
  PtyProgram program(dir_, {"a.txt"});
  program.WaitFor("[Enter] Encrypt");
  program.Type("abcd\rabce\r");
  std::size_t at = program.WaitFor("Both passwords are not equal !!");
  at = program.WaitFor("Enter password :", at);
  // The kept texts are shown again, masked.
  at = program.WaitFor("****", at);
  at = program.WaitFor("[Enter] Encrypt", at);
  EXPECT_FALSE(fs::exists(dir_ / "a.ov2"));

  // Mend the second field: to it, one character off, the right one on.
  program.Type(
      "\r\x7f"
      "d\r");
  EXPECT_EQ(program.ExitStatus(), 0);
  program.ExpectSettingsRestored();
  EXPECT_TRUE(fs::exists(dir_ / "a.ov2"));
}

TEST_F(TerminalPty, OverwriteQuestionTakesItsAnswerFromTheKeys) {
  Encrypt("first");
  const std::string first = ReadFile(dir_ / "a.ov2");

  PtyProgram program(dir_, {"a.txt"});
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
  PtyProgram program(dir_, {"a.txt"});
  program.WaitFor("[Enter] Encrypt");
  kill(program.pid(), SIGTERM);
  const int status = program.Wait();
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  program.ExpectSettingsRestored();
}

TEST_F(TerminalPty, InterruptDuringARunLeavesNothingBehind) {
  // Large enough, and on the slowest cipher path, that the run is still
  // going when the key arrives; sparse, so it costs no disk to make.
  WriteFile(dir_ / "big.bin", "");
  fs::resize_file(dir_ / "big.bin", 1u << 30);
  ::setenv("OVALITH_DES_PATH", "word64", 1);
  PtyProgram program(dir_, {"big.bin"});
  ::unsetenv("OVALITH_DES_PATH");
  program.WaitFor("[Esc] Cancel");
  program.Type("abcd\rabcd\r");
  // Once the bar shows bytes done, the output file is being written.
  program.WaitFor("iB / 1.0 GiB");
  program.Type("\x03");
  const int status = program.Wait();
  ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before the key came";
  EXPECT_EQ(WTERMSIG(status), SIGINT);
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
  PtyProgram program(dir_, {"a\x1b]0;x\x07.txt"});
  program.WaitFor("File : a\\x1b]0;x\\x07.txt");
  EXPECT_EQ(program.output().find('\x07'), std::string::npos);
  program.Type("\x1b");
  EXPECT_EQ(program.ExitStatus(), 2);
}

}  // namespace
