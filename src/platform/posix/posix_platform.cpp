#include "platform/posix/posix_platform.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <random>
#include <system_error>

namespace ovalith {

namespace {

std::string ErrorText(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

class PosixInput : public InputFile {
 public:
  PosixInput(int fd, std::string path, std::uint64_t size)
      : fd_(fd), path_(std::move(path)), size_(size) {}
  ~PosixInput() override { ::close(fd_); }

  std::size_t Read(std::uint8_t* buf, std::size_t n) override {
    std::size_t done = 0;
    while (done < n) {
      ssize_t got = ::read(fd_, buf + done, n - done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw Failure(ErrorText(path_, errno));
      if (got == 0) break;
      done += static_cast<std::size_t>(got);
    }
    return done;
  }
  std::uint64_t Size() override { return size_; }

 private:
  int fd_;
  std::string path_;
  std::uint64_t size_;
};

class PosixOutput : public OutputFile {
 public:
  PosixOutput(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  ~PosixOutput() override {
    if (sync_.valid()) sync_.wait();
    if (fd_ >= 0) ::close(fd_);
  }

  void Write(const std::uint8_t* data, std::size_t n) override {
    while (n > 0) {
      ssize_t put = ::write(fd_, data, n);
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) throw Failure(ErrorText(name_, errno));
      data += put;
      n -= static_cast<std::size_t>(put);
      written_ += static_cast<std::uint64_t>(put);
    }
    SyncInBackground();
  }

  // The data must be on disk before the rename makes it the file of the
  // final name, or a crash could leave an empty file in its place.
  void Close() override {
    AwaitSync();
    if (::fsync(fd_) != 0) throw Failure(ErrorText(name_, errno));
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw Failure(ErrorText(name_, errno));
  }

 private:
  // Getting data to the disk takes time in proportion to it, and the
  // fsync at Close would wait for all of it after the run.  Started every
  // few MiB on another thread, the syncs overlap the run instead.
  void SyncInBackground() {
    constexpr std::uint64_t kStep = std::uint64_t{2} << 20;
    if (written_ - synced_ < kStep) return;
    if (sync_.valid()) {
      if (sync_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
      AwaitSync();
    }
    try {
      sync_ = std::async(std::launch::async, [fd = fd_] {
        return ::fdatasync(fd) == 0 ? 0 : errno;
      });
      synced_ = written_;
    } catch (const std::system_error&) {
      // No thread to be had: Close syncs it all.
    }
  }

  void AwaitSync() {
    if (!sync_.valid()) return;
    if (int error = sync_.get(); error != 0)
      throw Failure(ErrorText(name_, error));
  }

  int fd_;
  std::string name_;
  std::uint64_t written_ = 0;
  std::uint64_t synced_ = 0;  // written_ when the last data sync began
  std::future<int> sync_;     // that sync: 0 or its errno
};

std::string ExecutableDirectory() {
  char path[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  std::string exe(path, static_cast<std::size_t>(n));
  return exe.substr(0, exe.rfind('/') + 1);
}

}  // namespace

PosixPlatform::PosixPlatform(std::vector<std::string> args)
    : args_(std::move(args)) {}

std::string PosixPlatform::CommandText() {
  std::string text;
  for (const std::string& arg : args_) {
    if (!text.empty()) text += ' ';
    text += arg;
  }
  return text;
}

std::string PosixPlatform::AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!::getcwd(cwd, sizeof cwd))
    throw Failure(ErrorText("current directory", errno));
  return std::string(cwd) + "/" + path;
}

void PosixPlatform::EnterDirectory(const std::string& dir) {
  if (::chdir(dir.c_str()) != 0) throw Failure(ErrorText(dir, errno));
}

std::optional<std::string> PosixPlatform::LookUp(const std::string& name) {
  if (name.empty()) return std::nullopt;
  struct stat st;
  if (::lstat(name.c_str(), &st) != 0) return std::nullopt;
  // The entry exists; on a file system that ignores letter case its listed
  // spelling may differ from the one asked for.
  DIR* dir = ::opendir(".");
  if (!dir) return name;
  std::optional<std::string> folded;
  while (dirent* entry = ::readdir(dir)) {
    if (name == entry->d_name) {
      ::closedir(dir);
      return name;
    }
    if (!folded && ::strcasecmp(name.c_str(), entry->d_name) == 0)
      folded = entry->d_name;
  }
  ::closedir(dir);
  return folded ? folded : name;
}

bool PosixPlatform::IsDirectory(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixPlatform::IsPlainName(const std::string& name) const {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '/' || byte < 0x20 || byte == 0x7f) return false;
  }
  return true;
}

std::unique_ptr<InputFile> PosixPlatform::OpenInput(const std::string& path) {
  // Without O_NONBLOCK, opening a FIFO would wait for a writer before the
  // check below could refuse it.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw Failure(ErrorText(path, errno));
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    int error = errno;
    ::close(fd);
    throw Failure(ErrorText(path, error));
  }
  // Only a regular file has a size that tells where its data ends.
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    throw Failure(path + (S_ISDIR(st.st_mode) ? ": is a directory"
                                              : ": is not a regular file"));
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return std::make_unique<PosixInput>(fd, path,
                                      static_cast<std::uint64_t>(st.st_size));
}

std::uint64_t PosixPlatform::FileSize(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) throw Failure(ErrorText(path, errno));
  return static_cast<std::uint64_t>(st.st_size);
}

std::unique_ptr<OutputFile> PosixPlatform::CreateTemporary(
    const std::string& final_name, std::string& temp_name) {
  static std::mt19937 random{std::random_device{}()};
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += kDigits[random() % 36];
    std::string name = final_name + ".ovalith-partial-" + suffix;
    // 0666 so the finished file gets the permissions of any file the user
    // creates, whatever the input's were.
    int fd =
        ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      temp_name = name;
      return std::make_unique<PosixOutput>(fd, name);
    }
    if (errno != EEXIST) throw Failure(ErrorText(name, errno));
  }
  throw Failure(final_name + ": cannot find a free temporary name");
}

void PosixPlatform::ReplaceFile(const std::string& temp_name,
                                const std::string& final_name) {
  if (::rename(temp_name.c_str(), final_name.c_str()) != 0)
    throw Failure(ErrorText(final_name, errno));
  // Make the new directory entry itself durable.
  int dir = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void PosixPlatform::RemoveFile(const std::string& name) noexcept {
  if (!name.empty()) ::unlink(name.c_str());
}

void* PosixPlatform::LoadLibrary(const std::string& name) {
  std::string file = "lib" + name + ".so";
  std::string beside = ExecutableDirectory() + file;
  if (void* library = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL))
    return library;
  if (void* library = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL))
    return library;
  const char* error = ::dlerror();
  throw Failure("cannot load the cipher library " + file + ": " +
                (error ? error : "not found"));
}

void* PosixPlatform::FindEntryPoint(void* library, const char* name) {
  return ::dlsym(library, name);
}

}  // namespace ovalith
