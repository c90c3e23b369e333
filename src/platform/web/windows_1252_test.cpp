// The page's own Windows-1252 against iconv's (the desktop program's), on
// every character, and on text that is not UTF-8.
#include "platform/web/windows_1252.h"

#include <gtest/gtest.h>

#include "platform/posix/code_page.h"

namespace ovalith {
namespace {

std::string Utf8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | c >> 6);
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | c >> 12);
    s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | c >> 18);
    s += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

TEST(Windows1252, EveryCharacterAsIconvHasIt) {
  int mapped = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string text = "a" + Utf8(c) + "z";
    const std::optional<std::string> ours = ToWindows1252(text);
    ASSERT_EQ(ours, ToWindowsCodePage(text, "CP1252"))
        << "U+" << std::hex << static_cast<std::uint32_t>(c);
    mapped += ours.has_value();
  }
  EXPECT_EQ(mapped, 251);  // 256 bytes less the 5 the code page leaves out
}

TEST(Windows1252, TextThatIsNotUtf8) {
  for (const char* bad :
       {"\x80", "\xC3", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
        "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "ok\xFF"})
    EXPECT_EQ(ToWindows1252(bad), std::nullopt) << bad;
  EXPECT_EQ(ToWindows1252("p\xC3\xA4ss \xE2\x82\xAC"),
            std::string("p\xE4ss \x80"));
}

}  // namespace
}  // namespace ovalith
