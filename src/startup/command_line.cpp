#include "startup/command_line.h"

namespace ovalith {

namespace {

const char kPasswordOption[] = "/pw=";
const std::size_t kOptionLength = sizeof kPasswordOption - 1;

std::string TrimSpaces(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string TrimTrailingSpaces(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// Drag and drop and "Send To" hand over paths in quotes.
std::string Unquote(const std::string& path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    return path.substr(1, path.size() - 2);
  return path;
}

std::string Join(std::vector<std::string>::const_iterator first,
                 std::vector<std::string>::const_iterator last) {
  std::string text;
  for (auto it = first; it != last; ++it) {
    if (it != first) text += ' ';
    text += *it;
  }
  return text;
}

}  // namespace

CommandLine ParseCommandText(const std::string& text) {
  std::string command = TrimSpaces(text);
  std::size_t option = command.find(kPasswordOption);
  CommandLine line;
  line.path = Unquote(TrimSpaces(command.substr(0, option)));
  if (option != std::string::npos)
    line.password = command.substr(option + kOptionLength);
  return line;
}

CommandLine ParseArguments(const std::vector<std::string>& args) {
  auto option = args.begin();
  while (option != args.end() && !option->starts_with(kPasswordOption))
    ++option;
  CommandLine line;
  line.path = Unquote(TrimSpaces(Join(args.begin(), option)));
  if (option != args.end()) {
    std::vector<std::string> rest(option, args.end());
    rest.front().erase(0, kOptionLength);
    // Trailing spaces go as they do from a command text, so a password
    // gives the same key on both systems.
    line.password = TrimTrailingSpaces(Join(rest.begin(), rest.end()));
  }
  return line;
}

}  // namespace ovalith
