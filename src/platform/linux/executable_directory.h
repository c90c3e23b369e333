// executable_directory.h: where the running program lies, from Linux's
// /proc/self/exe: the cipher library is looked for there first.
#pragma once

#include <string>

namespace ovalith {

// The directory of the running executable with its trailing '/'; empty
// when it cannot be told.
std::string LinuxExecutableDirectory();

}  // namespace ovalith
