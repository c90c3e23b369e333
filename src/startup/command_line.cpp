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

std::vector<std::string> SplitWindowsArguments(const std::string& text) {
  std::vector<std::string> args;
  std::size_t i = 0;
  const auto blank = [&](std::size_t at) {
    return text[at] == ' ' || text[at] == '\t';
  };
  for (;;) {
    while (i < text.size() && blank(i)) ++i;
    if (i == text.size()) return args;
    std::string arg;
    bool quoted = false;
    while (i < text.size() && (quoted || !blank(i))) {
      std::size_t slashes = 0;
      while (i < text.size() && text[i] == '\\') ++slashes, ++i;
      if (i < text.size() && text[i] == '"') {
        // 2n backslashes and a quote: n backslashes, the quote toggles;
        // 2n + 1: n backslashes and a quote of the text.
        arg.append(slashes / 2, '\\');
        if (slashes % 2 == 1) {
          arg += '"';
        } else if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
          arg += '"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(slashes, '\\');
        if (i < text.size() && (quoted || !blank(i))) arg += text[i++];
      }
    }
    args.push_back(arg);
  }
}

CommandLine ParseCommandText(const std::string& text) {
  std::string command = TrimSpaces(text);
  std::size_t option = command.find(kPasswordOption);
  CommandLine line;
  const std::string before = TrimSpaces(command.substr(0, option));
  line.path = Unquote(before);
  // An empty part ("" or the quote a quoted option leaves) names no file.
  for (std::string& part : SplitWindowsArguments(before))
    if (!part.empty()) line.paths.push_back(std::move(part));
  if (option != std::string::npos) {
    line.password = command.substr(option + kOptionLength);
  } else if (before == "/choose") {
    line.request = Request::kChooseFiles;
    line.path.clear();
    line.paths.clear();
  }
  return line;
}

CommandLine ParseArguments(const std::vector<std::string>& args) {
  CommandLine line;
  std::vector<std::string> files;
  auto option = args.begin();
  bool options_end = false;
  for (; option != args.end(); ++option) {
    if (option->starts_with(kPasswordOption)) break;
    if (!options_end && *option == "--") {
      options_end = true;
    } else if (!options_end && *option == "--help") {
      line.request = Request::kHelp;
    } else if (!options_end && *option == "--version") {
      if (line.request != Request::kHelp) line.request = Request::kVersion;
    } else if (!options_end && *option == "--choose") {
      if (line.request == Request::kRun) line.request = Request::kChooseFiles;
    } else {
      files.push_back(*option);
    }
  }
  line.path = Unquote(TrimSpaces(Join(files.begin(), files.end())));
  line.paths = files;
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
