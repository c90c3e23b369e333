// command_line.h: the two rules that split a command line into the file's
// path and the "/pw=" option.  Windows hands a program one text; POSIX
// hands it arguments, and there "/pw=" inside a path is part of the path.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"

namespace ovalith {

// The option begins at the first "/pw=" anywhere in the text.  The text
// before it is the path, and split as Windows splits a command line (quotes
// around paths with spaces, as Explorer passes several files) the paths.
// "/choose" alone asks for the file chooser.
CommandLine ParseCommandText(const std::string& text);

// The option is the first argument that begins with "/pw="; the path is the
// arguments before it, the password the rest of it and the arguments after
// it, each joined by single spaces; the paths are those arguments one by
// one.  Before it, --help, --version and --choose are requests, and "--"
// makes every argument after it a path.
CommandLine ParseArguments(const std::vector<std::string>& args);

// Splits text into arguments by the rules of Windows' CommandLineToArgvW
// for the arguments after the program's name.
std::vector<std::string> SplitWindowsArguments(const std::string& text);

}  // namespace ovalith
