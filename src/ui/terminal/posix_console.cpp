#include "ui/terminal/posix_console.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace ovalith {

namespace {

// A reader that has gone is no failure of ours.
void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

// Columns of the terminal on fd, or 80 when it does not say.
std::size_t TerminalWidth(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

PosixConsole::PosixConsole()
    : input_is_terminal_(isatty(0) != 0), error_is_terminal_(isatty(2) != 0) {
  if (input_is_terminal_ && !error_is_terminal_) {
    const int fd = open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
      window_fd_ = fd;
      own_window_fd_ = true;
    }
  }
}

PosixConsole::~PosixConsole() {
  if (own_window_fd_) close(window_fd_);
}

// Byte by byte, so that nothing after the line is consumed.
std::optional<std::string> PosixConsole::ReadLine() {
  std::string line;
  bool any = false;
  for (;;) {
    char c = 0;
    const ssize_t n = read(0, &c, 1);
    // Ctrl-C during a run asks it to stop: no answer then.
    if (n < 0 && errno == EINTR && StopWasRequested()) return std::nullopt;
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return any ? std::optional(line) : std::nullopt;
    any = true;
    if (c == '\n') return line;
    line += c;
  }
}

void PosixConsole::Suspend() {
  if (raw_) raw_->Suspend();
  kill(getpid(), SIGTSTP);
  if (raw_) raw_->Resume();
}

void PosixConsole::WriteError(const std::string& text) { WriteAll(2, text); }

void PosixConsole::WriteWindow(const std::string& text) {
  WriteAll(window_fd_, text);
}

std::size_t PosixConsole::WindowWidth() { return TerminalWidth(window_fd_); }

std::size_t PosixConsole::ErrorWidth() { return TerminalWidth(2); }

void PosixConsole::ProgressLineOpen(bool open) {
  CleanupEndLine(open ? 2 : -1);
}

void PosixConsole::WriteOutput(const std::string& text) { WriteAll(1, text); }

}  // namespace ovalith
