// usage.h: the usage message with which every failure ends the program, and
// what --help and --version print.
#pragma once

#include <string>

namespace ovalith {

// Six lines joined by "\r\n".
extern const char kUsageText[];

// The command line's habits: what --help prints (lines ended by "\n").
extern const char kHelpText[];

// "ovalith 2.0.0".
std::string VersionText();

}  // namespace ovalith
