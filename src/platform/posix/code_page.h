// code_page.h: passwords as the bytes of a Windows code page.  Windows folds
// a password in its 8-bit code page; folding the same characters in the
// same code page here gives the same key for the same typed password.
#pragma once

#include <optional>
#include <string>

namespace ovalith {

// The code page passwords are folded in: OVALITH_CODEPAGE ("1252" by
// default, "1251", "cp1250", "windows-1253"..., or "utf-8" for the bytes
// as typed), normalised to the name iconv knows ("CP1252", "UTF-8").
// Throws Failure for a setting that names no code page.
std::string PasswordCodePageSetting();

// "Windows-1252" for "CP1252"; "UTF-8" stays.
std::string CodePageDisplayName(const std::string& setting);

// UTF-8 text as the bytes of the code page; none when it holds a character
// the code page lacks, or is not UTF-8.
std::optional<std::string> ToWindowsCodePage(const std::string& text,
                                             const std::string& setting);

}  // namespace ovalith
