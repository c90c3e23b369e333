// child_process.cpp: fork and exec of the program under test.
#include "child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace ovalith::test {

const char kUsageLines[] =
    "File not found !!\n"
    "\n"
    "Usage :\n"
    "Ovalith filename [/pw=password]\n"
    "  filename : file to encrypt/decrypt\n"
    "  /pw : Encrypts/decrypts without user interaction\n";

std::string ProgramPath() { return OVALITH_PROGRAM; }
std::string FaultLibraryPath() { return OVALITH_FAULT_LIBRARY; }

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const ChildOptions& options)
    : timeout_(options.timeout_seconds) {
  // Everything the child needs is prepared before fork: after it only
  // async-signal-safe calls are allowed.
  std::vector<char*> args;
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  // A variable given in options replaces ours of the same name.
  std::vector<std::string> env_text = options.env;
  for (char** e = environ; *e; ++e) {
    std::string var = *e;
    std::string name = var.substr(0, var.find('=') + 1);
    bool replaced = false;
    for (const std::string& extra : options.env)
      replaced = replaced || extra.starts_with(name);
    if (!replaced) env_text.push_back(var);
  }
  std::vector<char*> env;
  for (std::string& e : env_text) env.push_back(e.data());
  env.push_back(nullptr);

  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC) ||
      ::pipe2(err, O_CLOEXEC))
    throw std::runtime_error("pipe failed");
  // The text fits the pipe's buffer, so it can be written before the child
  // reads it.
  if (options.input.size() > 60000)
    throw std::runtime_error("standard input text too long");
  if (!options.input.empty() &&
      ::write(in[1], options.input.data(), options.input.size()) !=
          static_cast<ssize_t>(options.input.size()))
    throw std::runtime_error("cannot fill standard input");
  ::close(in[1]);

  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    if (::chdir(options.cwd.c_str()) != 0) ::_exit(126);
    ::umask(options.umask);
    if (options.file_size_limit != RLIM_INFINITY) {
      rlimit limit{options.file_size_limit, options.file_size_limit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
    }
    if (options.gid != static_cast<gid_t>(-1) && ::setgid(options.gid) != 0)
      ::_exit(126);
    if (options.uid != static_cast<uid_t>(-1) && ::setuid(options.uid) != 0)
      ::_exit(126);
    ::execve(args[0], args.data(), env.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  out_ = out[0];
  err_ = err[0];
  if (options.stderr_reader_gone) {
    ::close(err_);
    err_ = -1;
  }
}

ChildProcess::~ChildProcess() {
  if (!waited_) {
    Kill(SIGKILL);
    Wait();
  }
}

void ChildProcess::Kill(int signal) {
  if (pid_ > 0) ::kill(pid_, signal);
}

ChildResult ChildProcess::Wait() {
  ChildResult result;
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::duration<double>(timeout_);
  while (out_ >= 0 || err_ >= 0) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) {
      result.timed_out = true;
      Kill(SIGKILL);
      deadline += std::chrono::seconds(10);  // to drain what is left
      continue;
    }
    if (::poll(fds, 2, static_cast<int>(left)) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      int& fd = i == 0 ? out_ : err_;
      std::string& text = i == 0 ? result.out : result.err;
      if (fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buf[4096];
      ssize_t got = ::read(fd, buf, sizeof buf);
      if (got > 0) {
        text.append(buf, static_cast<std::size_t>(got));
      } else {
        ::close(fd);
        fd = -1;
      }
    }
  }
  int status = 0;
  ::waitpid(pid_, &status, 0);
  waited_ = true;
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

namespace {
constexpr auto kPatience = std::chrono::seconds(10);
}

TerminalChild::TerminalChild(const std::string& dir,
                             std::vector<std::string> args) {
  winsize size{};
  size.ws_row = 24;
  size.ws_col = 80;
  if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
    ADD_FAILURE() << "openpty failed";
    return;
  }
  tcgetattr(slave_, &initial_);
  const std::string program = ProgramPath();
  pid_ = fork();
  if (pid_ == 0) {
    close(master_);
    const int slave = dup(slave_);
    if (login_tty(slave) != 0 || chdir(dir.c_str()) != 0) _exit(127);
    std::vector<char*> argv = {const_cast<char*>("ovalith")};
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
}

TerminalChild::~TerminalChild() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (master_ >= 0) close(master_);
  if (slave_ >= 0) close(slave_);
}

void TerminalChild::Type(const std::string& keys) {
  ASSERT_EQ(write(master_, keys.data(), keys.size()),
            static_cast<ssize_t>(keys.size()));
}

std::size_t TerminalChild::WaitFor(const std::string& text, std::size_t from) {
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

int TerminalChild::Wait() {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < deadline) {
    if (Pump(20) < 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
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

int TerminalChild::ExitStatus() {
  const int status = Wait();
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void TerminalChild::ExpectSettingsRestored() {
  termios now{};
  ASSERT_EQ(tcgetattr(slave_, &now), 0);
  EXPECT_NE(now.c_lflag & ECHO, 0u);
  EXPECT_NE(now.c_lflag & ICANON, 0u);
  EXPECT_EQ(now.c_lflag, initial_.c_lflag);
  EXPECT_EQ(now.c_iflag, initial_.c_iflag);
  EXPECT_EQ(now.c_oflag, initial_.c_oflag);
  EXPECT_EQ(now.c_cc[VMIN], initial_.c_cc[VMIN]);
}

ssize_t TerminalChild::Pump(int ms) {
  pollfd p{master_, POLLIN, 0};
  if (poll(&p, 1, ms) <= 0) return 0;
  char buf[4096];
  const ssize_t n = read(master_, buf, sizeof buf);
  if (n <= 0) return -1;
  output_.append(buf, static_cast<std::size_t>(n));
  return n;
}

ChildResult RunOvalith(const std::vector<std::string>& args,
                       const ChildOptions& options) {
  std::vector<std::string> argv{ProgramPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunChild(argv, options);
}

ChildResult RunChild(const std::vector<std::string>& argv,
                     const ChildOptions& options) {
  ChildProcess child(argv, options);
  return child.Wait();
}

}  // namespace ovalith::test
