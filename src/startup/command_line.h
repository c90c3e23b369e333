// command_line.h: the two rules that split a command line into the file's
// path and the "/pw=" option.  Windows hands a program one text; POSIX
// hands it arguments, and there "/pw=" inside a path is part of the path.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"

namespace ovalith {

// The option begins at the first "/pw=" anywhere in the text.
CommandLine ParseCommandText(const std::string& text);

// The option is the first argument that begins with "/pw="; the path is the
// arguments before it, the password the rest of it and the arguments after
// it, each joined by single spaces.
CommandLine ParseArguments(const std::vector<std::string>& args);

}  // namespace ovalith
