#include "platform/posix/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/failure.h"

namespace ovalith {

namespace {

bool IsDigits(const std::string& text) {
  return !text.empty() &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// text from one encoding into another; none when iconv fails.
std::optional<std::string> Convert(const std::string& text,
                                   const std::string& to,
                                   const std::string& from) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == (iconv_t)-1) return std::nullopt;
  std::string in = text;
  // Between UTF-8 and an 8-bit code page, 4 bytes a byte are enough.
  std::string out(4 * in.size() + 1, '\0');
  char* in_ptr = in.data();
  std::size_t in_left = in.size();
  char* out_ptr = out.data();
  std::size_t out_left = out.size();
  const std::size_t result = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1) || in_left != 0)
    return std::nullopt;
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace

std::string PasswordCodePageSetting() {
  const char* value = std::getenv("OVALITH_CODEPAGE");
  std::string setting = Lower(value && *value ? value : "1252");
  if (setting == "utf-8" || setting == "utf8") return "UTF-8";
  for (const char* prefix : {"windows-", "cp"})
    if (setting.starts_with(prefix)) setting.erase(0, std::strlen(prefix));
  const std::string name = "CP" + setting;
  iconv_t probe =
      IsDigits(setting) ? iconv_open(name.c_str(), "UTF-8") : (iconv_t)-1;
  if (probe == (iconv_t)-1)
    throw Failure(std::string("OVALITH_CODEPAGE: ") + value +
                  ": not a code page this system knows");
  iconv_close(probe);
  return name;
}

std::string CodePageDisplayName(const std::string& setting) {
  if (setting.starts_with("CP")) return "Windows-" + setting.substr(2);
  return setting;
}

std::optional<std::string> ToWindowsCodePage(const std::string& text,
                                             const std::string& setting) {
  if (setting == "UTF-8") return text;
  std::optional<std::string> bytes = Convert(text, setting, "UTF-8");
  // What a code page lacks must be refused, not replaced or dropped: musl
  // puts '*' in its place, glibc drops some (the tag characters) without a
  // word.  The bytes must give back the very text typed.
  if (!bytes || Convert(*bytes, "UTF-8", setting) != text) return std::nullopt;
  return bytes;
}

}  // namespace ovalith
