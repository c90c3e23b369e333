// fault_inject.cpp: an LD_PRELOAD library that makes one chosen system call
// fail, so the tests can watch the program meet a full disk or a failing
// device at an exact moment of a run.
//
//   OVALITH_FAULT_CALL    open, read, write, fsync, chmod, rename or
//                         close
//   OVALITH_FAULT_PATH    fnmatch pattern the file's path must match (for
//                         rename: the old name; for chmod: the path;
//                         "*" when unset)
//   OVALITH_FAULT_NTH     which matching call fails, from 1; 0 fails none
//   OVALITH_FAULT_ERRNO   ENOSPC, EIO or EACCES (or a number)
//   OVALITH_FAULT_REPORT  file that receives "<matching calls> <injected>"
//                         when the process exits, to learn how many blocks
//                         a run has
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

enum Call { kNone, kOpen, kRead, kWrite, kFsync, kChmod, kRename, kClose };

constexpr int kMaxFd = 1024;
constexpr int kMaxPath = 512;

// Plain static storage: the library is used before and after C++ static
// objects exist.
char g_paths[kMaxFd][kMaxPath];
Call g_call = kNone;
const char* g_pattern = "*";
long g_nth = 0;
int g_errno = EIO;
const char* g_report = nullptr;
long g_matches = 0;
int g_injected = 0;

template <typename Fn>
Fn Next(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

int ErrnoByName(const char* text) {
  if (!text) return EIO;
  if (strcmp(text, "ENOSPC") == 0) return ENOSPC;
  if (strcmp(text, "EIO") == 0) return EIO;
  if (strcmp(text, "EACCES") == 0) return EACCES;
  return atoi(text);
}

Call CallByName(const char* text) {
  if (!text) return kNone;
  static const struct {
    const char* name;
    Call call;
  } kCalls[] = {{"open", kOpen},   {"read", kRead},   {"write", kWrite},
                {"fsync", kFsync}, {"chmod", kChmod}, {"rename", kRename},
                {"close", kClose}};
  for (const auto& entry : kCalls)
    if (strcmp(text, entry.name) == 0) return entry.call;
  return kNone;
}

__attribute__((constructor)) void Configure() {
  g_call = CallByName(getenv("OVALITH_FAULT_CALL"));
  if (const char* pattern = getenv("OVALITH_FAULT_PATH")) g_pattern = pattern;
  if (const char* nth = getenv("OVALITH_FAULT_NTH")) g_nth = atol(nth);
  g_errno = ErrnoByName(getenv("OVALITH_FAULT_ERRNO"));
  g_report = getenv("OVALITH_FAULT_REPORT");
}

__attribute__((destructor)) void Report() {
  if (!g_report) return;
  char line[64];
  int n = snprintf(line, sizeof line, "%ld %d\n", g_matches, g_injected);
  // Straight to the kernel, past our own wrappers.
  long fd = syscall(SYS_openat, AT_FDCWD, g_report,
                    O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  syscall(SYS_write, fd, line, static_cast<size_t>(n));
  syscall(SYS_close, fd);
}

const char* PathOf(int fd) { return fd >= 0 && fd < kMaxFd ? g_paths[fd] : ""; }

void Remember(int fd, const char* path) {
  if (fd < 0 || fd >= kMaxFd) return;
  strncpy(g_paths[fd], path ? path : "", kMaxPath - 1);
  g_paths[fd][kMaxPath - 1] = '\0';
}

// True when this call is the one to fail; errno is then set.
bool Inject(Call call, const char* path) {
  if (call != g_call || !path || !path[0]) return false;
  if (fnmatch(g_pattern, path, 0) != 0) return false;
  if (++g_matches != g_nth) return false;
  g_injected = 1;
  errno = g_errno;
  return true;
}

int Opened(int fd, const char* path) {
  Remember(fd, path);
  return fd;
}

mode_t ModeArgument(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE))
             ? static_cast<mode_t>(va_arg(args, int))
             : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeArgument(flags, args);
  va_end(args);
  if (Inject(kOpen, path)) return -1;
  return Opened(Next<int (*)(const char*, int, ...)>("open")(path, flags, mode),
                path);
}

int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeArgument(flags, args);
  va_end(args);
  if (Inject(kOpen, path)) return -1;
  return Opened(
      Next<int (*)(const char*, int, ...)>("open64")(path, flags, mode), path);
}

int openat(int dirfd, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeArgument(flags, args);
  va_end(args);
  if (Inject(kOpen, path)) return -1;
  return Opened(Next<int (*)(int, const char*, int, ...)>("openat")(
                    dirfd, path, flags, mode),
                path);
}

int openat64(int dirfd, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeArgument(flags, args);
  va_end(args);
  if (Inject(kOpen, path)) return -1;
  return Opened(Next<int (*)(int, const char*, int, ...)>("openat64")(
                    dirfd, path, flags, mode),
                path);
}

ssize_t read(int fd, void* buf, size_t n) {
  if (Inject(kRead, PathOf(fd))) return -1;
  return Next<ssize_t (*)(int, void*, size_t)>("read")(fd, buf, n);
}

ssize_t write(int fd, const void* buf, size_t n) {
  if (Inject(kWrite, PathOf(fd))) return -1;
  return Next<ssize_t (*)(int, const void*, size_t)>("write")(fd, buf, n);
}

int fsync(int fd) {
  if (Inject(kFsync, PathOf(fd))) return -1;
  return Next<int (*)(int)>("fsync")(fd);
}

int chmod(const char* path, mode_t mode) {
  if (Inject(kChmod, path)) return -1;
  return Next<int (*)(const char*, mode_t)>("chmod")(path, mode);
}

int rename(const char* from, const char* to) {
  if (Inject(kRename, from)) return -1;
  return Next<int (*)(const char*, const char*)>("rename")(from, to);
}

// A failing close still releases the descriptor, as Linux's does.
int close(int fd) {
  bool fail = Inject(kClose, PathOf(fd));
  int saved = errno;
  int result = Next<int (*)(int)>("close")(fd);
  if (fd >= 0 && fd < kMaxFd) g_paths[fd][0] = '\0';
  if (!fail) return result;
  errno = saved;
  return -1;
}

}  // extern "C"
