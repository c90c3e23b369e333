#include "platform/linux/executable_directory.h"

#include <limits.h>
#include <unistd.h>

namespace ovalith {

std::string LinuxExecutableDirectory() {
  char path[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  std::string exe(path, static_cast<std::size_t>(n));
  return exe.substr(0, exe.rfind('/') + 1);
}

}  // namespace ovalith
