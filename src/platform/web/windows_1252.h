// windows_1252.h: UTF-8 text as Windows-1252 bytes, the code page the
// desktop programs fold passwords in, without iconv (whose tables would
// double the page's size).
#pragma once

#include <optional>
#include <string>

namespace ovalith {

// None when the text holds a character Windows-1252 lacks, or is not UTF-8.
std::optional<std::string> ToWindows1252(const std::string& utf8);

}  // namespace ovalith
