#include "platform/win32/windows_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace ovalith::win32 {

namespace {

bool IsReservedCharacter(unsigned char c) {
  return c < 0x20 || c == 0x7f ||
         std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) !=
             std::string_view::npos;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  });
  return upper;
}

// Windows takes a name as a device when the part before its first dot,
// trailing blanks dropped, is one of these.
bool IsDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string upper = Upper(base);
  static const std::array<std::string_view, 6> kPlain = {
      "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  if (std::find(kPlain.begin(), kPlain.end(), upper) != kPlain.end())
    return true;
  if (upper.size() < 4) return false;
  std::string_view head = std::string_view(upper).substr(0, 3);
  if (head != "COM" && head != "LPT") return false;
  std::string_view number = std::string_view(upper).substr(3);
  // COM1 to COM9, and the superscript digits Windows accepts as well.
  return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') ||
         number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
}

}  // namespace

bool IsPlainWindowsName(const std::string& name) {
  if (name == "." || name == "..") return false;
  if (std::any_of(name.begin(), name.end(), [](char c) {
        return IsReservedCharacter(static_cast<unsigned char>(c));
      }))
    return false;
  if (name.find_last_not_of(". ") == std::string::npos) return false;
  return !IsDeviceName(name);
}

}  // namespace ovalith::win32
