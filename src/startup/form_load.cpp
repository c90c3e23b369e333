// Start-up: from the command line to the file, its directory, the mode and,
// with "/pw=", an immediate run.
#include "protect/container.h"
#include "ui/frm_main.h"

namespace ovalith {

namespace {

const char kPasswordOption[] = "/pw=";
const std::size_t kMaxPassword = 20;
const std::size_t kMaxShortName = 64;
// FilePath searches for the next separator within this many characters.
const std::size_t kSearchWindow = 200;

std::string TrimSpaces(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Drag and drop and "Send To" hand over paths in quotes.
std::string Unquote(const std::string& path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    return path.substr(1, path.size() - 2);
  return path;
}

}  // namespace

void frmMain::Form_Load() {
  std::string command = TrimSpaces(platform_.CommandText());
  std::size_t option = command.find(kPasswordOption);
  FileName = TrimSpaces(command.substr(0, option));

  try {
    FileName = Unquote(FileName);
    if (FileName.empty()) throw Failure("no file name given");
    platform_.EnterDrive(FileName);
    // The input is opened by this path after its directory became the
    // working one, so a relative path must not stay relative.
    FileName = platform_.AbsolutePath(FileName);
    platform_.EnterDirectory(FilePath(FileName));
    std::optional<std::string> listed = platform_.LookUp(ShortName);
    if (!listed)
      throw Failure(FileName + ": no such file" +
                    (ShortName.size() == kMaxShortName
                         ? " (names are cut to 64 characters)"
                         : ""));
    ShortName = *listed;
    platform_.SetText(Control::lblFile, ShortName);
    if (IsContainerName(platform_.GetText(Control::lblFile))) Decrypt();

    if (option != std::string::npos) {
      std::string password = platform_
                                 .NameToCodePage(command.substr(
                                     option + sizeof kPasswordOption - 1))
                                 .substr(0, kMaxPassword);
      platform_.SetText(Control::txtPW1, password);
      platform_.SetText(Control::txtPW2, password);
      cmdOK_Click();
    }
  } catch (const std::exception& failure) {
    Fout(failure.what());
  }
}

std::string frmMain::FilePath(const std::string& Path) {
  const char separator = platform_.Separator();
  // Each separator found is blanked in a working copy that keeps only a
  // window of the text behind it, so the search ends at the last separator
  // unless two of them lie more than the window apart.
  std::string copy = Path;
  std::size_t last = 0;  // 1-based position of the last separator, 0: none
  for (;;) {
    std::size_t found = copy.find(separator);
    if (found == std::string::npos) break;
    last = found + 1;
    copy = copy.substr(0, found) + " " + copy.substr(found + 1, kSearchWindow);
  }
  ShortName = Path.substr(last, kMaxShortName);
  return Path.substr(0, last);
}

}  // namespace ovalith
