// command_line.h: the arguments part of a raw Windows command line.
#pragma once

#include <string_view>

namespace ovalith::win32 {

// The command line without the program's own name and the blanks after it.
// The name ends where Windows' own start-up code ends it: at the closing
// quote when it begins with one, else at the first blank.  Nothing else is
// interpreted, so quotes in the arguments reach the caller as typed.
std::wstring_view ArgumentsOf(std::wstring_view command_line);

}  // namespace ovalith::win32
