#include "platform/web/windows_1252.h"

#include <cstdint>

namespace ovalith {

namespace {

// The characters of bytes 0x80 to 0x9F; 0 where the code page has none.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The next character of text from at, or -1 when it is not UTF-8.
std::int32_t NextCharacter(const std::string& text, std::size_t& at) {
  const auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  const unsigned char lead = byte(at++);
  if (lead < 0x80) return lead;
  int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
  if (more < 0 || lead > 0xF4 || at + more > text.size()) return -1;
  std::int32_t c = lead & (0x3F >> more);
  for (; more > 0; --more) {
    if ((byte(at) & 0xC0) != 0x80) return -1;
    c = c << 6 | (byte(at++) & 0x3F);
  }
  // Overlong forms and surrogates are not UTF-8.
  if ((c < 0x800 && lead >= 0xE0) || (c < 0x10000 && lead >= 0xF0) ||
      (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
    return -1;
  return c;
}

}  // namespace

std::optional<std::string> ToWindows1252(const std::string& utf8) {
  std::string bytes;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::int32_t c = NextCharacter(utf8, at);
    if (c < 0) return std::nullopt;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      bytes += static_cast<char>(c);
      continue;
    }
    int found = -1;
    for (int i = 0; i < 32 && c >= 0x100; ++i)
      if (kHigh[i] == c) found = 0x80 + i;
    if (found < 0) return std::nullopt;
    bytes += static_cast<char>(found);
  }
  return bytes;
}

}  // namespace ovalith
