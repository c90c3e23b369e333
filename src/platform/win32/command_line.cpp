#include "platform/win32/command_line.h"

namespace ovalith::win32 {

std::wstring_view ArgumentsOf(std::wstring_view command_line) {
  std::size_t end;
  if (!command_line.empty() && command_line.front() == L'"') {
    end = command_line.find(L'"', 1);
    end = end == std::wstring_view::npos ? command_line.size() : end + 1;
  } else {
    end = command_line.find_first_of(L" \t");
    if (end == std::wstring_view::npos) end = command_line.size();
  }
  std::wstring_view rest = command_line.substr(end);
  std::size_t start = rest.find_first_not_of(L" \t");
  return start == std::wstring_view::npos ? std::wstring_view{}
                                          : rest.substr(start);
}

}  // namespace ovalith::win32
