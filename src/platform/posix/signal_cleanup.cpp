#include "platform/posix/signal_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ovalith {

namespace {

// Only what a handler may touch: flags set last, after the data.
volatile sig_atomic_t terminal_fd = -1;
termios terminal_settings;
volatile sig_atomic_t file_set = 0;
char file_name[4096];
volatile sig_atomic_t line_fd = -1;
volatile sig_atomic_t stop_on_signal = 0;
volatile sig_atomic_t stop_requested = 0;

void OnSignal(int sig) {
  const int saved_errno = errno;
  if (stop_on_signal != 0 && stop_requested == 0 && sig != SIGQUIT) {
    stop_requested = 1;
    errno = saved_errno;
    return;
  }
  if (line_fd >= 0) {
    static const char kErase[] = "\r\x1b[K";
    (void)!write(line_fd, kErase, sizeof kErase - 1);
  }
  if (terminal_fd >= 0) {
    tcsetattr(terminal_fd, TCSANOW, &terminal_settings);
  }
  if (file_set != 0) {
    unlink(file_name);
  }
  signal(sig, SIG_DFL);
  raise(sig);
  errno = saved_errno;
}

}  // namespace

void InstallSignalCleanup() {
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    struct sigaction old {};
    sigaction(sig, nullptr, &old);
    if (old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // One cleanup at a time, whichever signal comes first.
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaddset(&action.sa_mask, SIGHUP);
    sigaddset(&action.sa_mask, SIGQUIT);
    sigaction(sig, &action, nullptr);
  }
}

void CleanupRestoreTerminal(int fd, const termios& settings) {
  terminal_fd = -1;
  terminal_settings = settings;
  terminal_fd = fd;
}

void CleanupForgetTerminal() { terminal_fd = -1; }

void CleanupRemoveFile(const std::string& name) {
  file_set = 0;
  if (name.size() >= sizeof file_name) return;
  std::memcpy(file_name, name.c_str(), name.size() + 1);
  file_set = 1;
}

void CleanupForgetFile() { file_set = 0; }

void CleanupEndLine(int fd) { line_fd = fd; }

void StopOnSignal(bool on) { stop_on_signal = on ? 1 : 0; }

bool StopWasRequested() { return stop_requested != 0; }

}  // namespace ovalith
