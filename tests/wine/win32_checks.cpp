// win32_checks.cpp: checks of the Win32-only pieces that need no window,
// run under Wine.  Prints one line per failed check and a closing count.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/command_line.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/windows_names.h"
#include "ui/win32/file_chooser.h"
#include "ui/win32/progress_scale.h"

namespace {

int passed = 0;
int failed = 0;

void Check(bool ok, const char* what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    std::printf("FAIL %s\n", what);
  }
}

void ArgumentsStartAfterTheProgramName() {
  using ovalith::win32::ArgumentsOf;
  Check(ArgumentsOf(L"ovalith.exe a.txt /pw=x") == L"a.txt /pw=x",
        "unquoted program name");
  Check(ArgumentsOf(L"\"C:\\Program Files\\o.exe\"  \"a b.txt\"") ==
            L"\"a b.txt\"",
        "quoted program name keeps the argument's quotes");
  Check(ArgumentsOf(L"\"C:\\x y\\o.exe\"a.txt") == L"a.txt",
        "argument glued to the closing quote");
  Check(ArgumentsOf(L"o.exe\t \tfile  ") == L"file  ",
        "tabs and spaces after the name go, trailing ones stay");
  Check(ArgumentsOf(L"o.exe").empty(), "no arguments");
  Check(ArgumentsOf(L"\"o.exe").empty(), "unclosed quote takes the rest");
  Check(ArgumentsOf(L"").empty(), "empty command line");
}

void PlainNamesExcludeWhatWindowsReserves() {
  using ovalith::win32::IsPlainWindowsName;
  for (const char* name : {"report.txt", "README", "a.tar.g", "notes.",
                           "com10.txt", "nul1", "console", "x y.z"})
    Check(IsPlainWindowsName(name), (std::string("plain: ") + name).c_str());
  for (const char* name :
       {"",         ".",     "..",   "...",      " . ",
        "a\\b",     "a/b",   "c:x",  "a:stream", "a*",
        "a?",       "a\"b",  "a<b",  "a>b",      "a|b",
        "a\tb",     "a\x7f", "NUL",  "nul.txt",  "Con",
        "aux .txt", "PRN.",  "COM1", "lpt9.doc", "COM\xC2\xB9",
        "CONOUT$"})
    Check(!IsPlainWindowsName(name),
          (std::string("not plain: ") + name).c_str());
}

void TextsRoundTripThroughTheCodePage() {
  using namespace ovalith::win32;
  Check(Narrow(Widen("caf\xC3\xA9")) == "caf\xC3\xA9", "UTF-8 round trip");
  std::string bytes = NarrowCodePage(Widen("caf\xC3\xA9"));
  Check(bytes.size() == 4, "one code page byte per character");
  Check(Narrow(WidenCodePage(bytes)) == "caf\xC3\xA9", "code page round trip");
  bool threw = false;
  try {
    Widen("\xC3");
  } catch (const std::exception&) {
    threw = true;
  }
  Check(threw, "broken UTF-8 is refused");
}

// Passwords give one key on every system only if each character has its
// own byte: no look-alike, no '?'.
void PasswordsKeepEveryCharacterOrAreRefused() {
  using namespace ovalith::win32;
  const auto western = [](const char* utf8) {
    return NarrowExactly(1252, Widen(utf8));
  };
  Check(western("\xC3\xA9t\xC3\xA9-cl\xC3\xA9") == "\xE9t\xE9-cl\xE9",
        "\"\u00e9t\u00e9-cl\u00e9\": its Windows-1252 bytes");
  Check(!western("\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"),
        "Cyrillic refused in Windows-1252");
  Check(!western("\xC4\x81"
                 "bc"),
        "no best-fit: a-macron is not 'a'");
  Check(western("a?b") == "a?b", "a real '?' stays");
  Check(NarrowExactly(1251, Widen("\xD0\xBF")) == "\xEF",
        "Cyrillic in Windows-1251");
}

void ChosenFilesBecomeFullPaths() {
  using ovalith::win32::ChosenPaths;
  Check(ChosenPaths(L"C:\\d\\one.txt\0") ==
            std::vector<std::wstring>{L"C:\\d\\one.txt"},
        "one file: its path");
  Check(ChosenPaths(L"C:\\d e\0a.txt\0b c.ov2\0") ==
            std::vector<std::wstring>{L"C:\\d e\\a.txt", L"C:\\d e\\b c.ov2"},
        "several: folder joined to each name");
  Check(ChosenPaths(L"C:\\\0a\0b\0") ==
            std::vector<std::wstring>{L"C:\\a", L"C:\\b"},
        "a drive's root keeps one separator");
  Check(ChosenPaths(L"\0").empty(), "nothing chosen");
}

void BarPositionsFitForAnyFileSize() {
  using namespace ovalith::win32;
  Check(ProgressShift(0) == 0 && ProgressShift(kMaxBarUnits) == 0,
        "small files count in bytes");
  Check(ProgressShift(kMaxBarUnits + 1) == 1, "one unit more halves");
  for (std::uint64_t max :
       {std::uint64_t{3} << 30, std::uint64_t{1} << 40, ~std::uint64_t{0}}) {
    int shift = ProgressShift(max);
    Check((max >> shift) <= kMaxBarUnits && (max >> shift) > kMaxBarUnits / 2,
          "large files: the whole range is used, never exceeded");
  }
}

}  // namespace

int main() {
  ArgumentsStartAfterTheProgramName();
  PlainNamesExcludeWhatWindowsReserves();
  TextsRoundTripThroughTheCodePage();
  BarPositionsFitForAnyFileSize();
  PasswordsKeepEveryCharacterOrAreRefused();
  ChosenFilesBecomeFullPaths();
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
