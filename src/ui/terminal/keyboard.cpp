#include "ui/terminal/keyboard.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/signal_cleanup.h"

namespace ovalith {

RawMode::RawMode(int fd) : fd_(fd) {
  if (tcgetattr(fd_, &saved_) != 0) return;
  Resume();
}

RawMode::~RawMode() { Suspend(); }

void RawMode::Suspend() {
  if (!active_) return;
  tcsetattr(fd_, TCSANOW, &saved_);
  CleanupForgetTerminal();
  active_ = false;
}

void RawMode::Resume() {
  if (active_) return;
  termios raw = saved_;
  // Ctrl-C and Ctrl-Z arrive as keys, so that the window decides.
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  CleanupRestoreTerminal(fd_, saved_);
  // TCSANOW keeps what was typed ahead.
  active_ = tcsetattr(fd_, TCSANOW, &raw) == 0;
  if (!active_) CleanupForgetTerminal();
}

namespace {

// 0 for end of input or an error, else 1.
int ReadByte(int fd, unsigned char& byte) {
  for (;;) {
    const ssize_t n = read(fd, &byte, 1);
    if (n == 1) return 1;
    if (n < 0 && errno == EINTR) continue;
    return 0;
  }
}

// A lone Escape and the start of a key's escape sequence begin alike; the
// sequence's remaining bytes follow at once.
bool MoreFollows(int fd) {
  pollfd p{fd, POLLIN, 0};
  for (;;) {
    const int n = poll(&p, 1, 50);
    if (n < 0 && errno == EINTR) continue;
    return n > 0 && (p.revents & POLLIN) != 0;
  }
}

Key ReadEscapeSequence(int fd) {
  if (!MoreFollows(fd)) return {Key::kEscape};
  unsigned char intro = 0;
  if (ReadByte(fd, intro) == 0) return {Key::kClosed};
  if (intro != '[' && intro != 'O') return {Key::kIgnored};
  // Parameters, then one final byte.
  unsigned char c = 0;
  do {
    if (ReadByte(fd, c) == 0) return {Key::kClosed};
  } while (intro == '[' && c >= 0x20 && c <= 0x3f);
  switch (c) {
    case 'A':
      return {Key::kPrevious};
    case 'B':
      return {Key::kNext};
    case 'Z':
      return {Key::kPrevious};
    default:
      return {Key::kIgnored};
  }
}

}  // namespace

Key ReadKey(int fd) {
  unsigned char c = 0;
  if (ReadByte(fd, c) == 0) return {Key::kClosed};
  switch (c) {
    case '\r':
    case '\n':
      return {Key::kEnter};
    case 0x7f:
    case 0x08:
      return {Key::kBackspace};
    case 0x1b:
      return ReadEscapeSequence(fd);
    case 0x03:
      return {Key::kInterrupt};
    case 0x04:
      return {Key::kEndOfFile};
    case 0x15:
      return {Key::kKillLine};
    case 0x1a:
      return {Key::kSuspend};
    case '\t':
      return {Key::kNext};
    default:
      break;
  }
  if (c < 0x20) return {Key::kIgnored};
  return {Key::kText, std::string(1, static_cast<char>(c))};
}

}  // namespace ovalith
