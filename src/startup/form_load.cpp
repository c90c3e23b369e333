// Start-up: from the command line to the file (or the files), its
// directory, the mode and, with "/pw=", an immediate run.
#include "protect/container.h"
#include "protect/restorable_name.h"
#include "startup/usage.h"
#include "ui/frm_main.h"

namespace ovalith {

namespace {

const std::size_t kMaxPassword = 20;
const std::size_t kMaxShortName = 64;

// The first n characters of UTF-8 text.
std::string FirstCharacters(const std::string& text, std::size_t n) {
  std::size_t at = 0;
  for (std::size_t count = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if ((byte & 0xC0) != 0x80 && count++ == n) break;
  }
  return text.substr(0, at);
}

}  // namespace

void frmMain::Form_Load() {
  try {
    CommandLine line = system_.ReadCommandLine();
    switch (line.request) {
      case Request::kHelp:
        view_.ShowInformation(kHelpText);
        End(kCompleted);
      case Request::kVersion:
        view_.ShowInformation(VersionText());
        End(kCompleted);
      case Request::kChooseFiles:
        if (line.paths.empty()) {
          line.paths = view_.ChooseFiles();
          if (line.paths.empty()) End(kNotCompleted);
          if (line.paths.size() == 1) line.path = line.paths.front();
        }
        break;
      case Request::kRun:
        break;
    }
    // Several arguments are one file when together they name one, as they
    // always did ("my notes.txt" unquoted); else each names a file.
    bool one = line.paths.size() <= 1 &&
               (line.paths.empty() || line.paths.front() == line.path);
    std::vector<std::string> paths;
    if (!one) {
      // Each is relative to where the program started, so all are made
      // absolute before any directory is entered.
      for (const std::string& path : line.paths) {
        try {
          paths.push_back(system_.AbsolutePath(path));
        } catch (const Failure&) {
          paths.push_back(path);
        }
      }
      try {
        FileName = Locate(line.path);
        one = true;
      } catch (const Failure&) {
      }
      if (!one && paths.size() == 1) {
        // What is left once quotes are read as Windows reads them.
        FileName = Locate(paths.front());
        one = true;
      }
    } else {
      FileName = Locate(line.path);
    }
    if (one) {
      view_.SetText(Control::lblFile, ShortName);
      if (IsContainerName(view_.GetText(Control::lblFile),
                          system_.NamesIgnoreCase())) {
        Decrypt();
      } else {
        // A container this program would refuse to restore is never written.
        CheckRestorable(system_, ShortName);
      }
    } else {
      LoadSet(line.paths, paths);
    }

    if (line.password) {
      std::string password = FirstCharacters(*line.password, kMaxPassword);
      view_.SetText(Control::txtPW1, password);
      view_.SetText(Control::txtPW2, password);
      cmdOK_Click();
    }
  } catch (const std::exception& failure) {
    // A normal end passes through here as ProgramEnd, which is not a
    // std::exception: this handler must never catch everything.
    Fout(failure.what());
  }
}

std::string frmMain::Locate(std::string path, std::string* directory) {
  if (path.empty()) throw Failure("no file name given");
  // "dir/" names what "dir" names (and fails as it does); a drive's root
  // keeps its separator.
  if (path.back() == system_.Separator() && system_.IsDirectory(path)) {
    while (path.size() > 1 && path.back() == system_.Separator() &&
           path[path.size() - 2] != ':')
      path.pop_back();
  }
  system_.EnterDrive(path);
  // The input is opened by this path after its directory became the
  // working one, so a relative path must not stay relative.
  path = system_.AbsolutePath(path);
  const std::string dir = FilePath(path);
  system_.EnterDirectory(dir);
  if (directory) *directory = dir;
  std::optional<std::string> listed = system_.LookUp(ShortName);
  if (!listed) throw Failure(EscapeName(path) + ": no such file");
  ShortName = *listed;
  return path;
}

void frmMain::LoadSet(const std::vector<std::string>& given,
                      const std::vector<std::string>& paths) {
  bool any_plain = false;
  bool any_container = false;
  std::vector<std::string> pending;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    SetFile file;
    file.given = given[i];
    file.path = paths[i];
    try {
      file.path = Locate(paths[i], &file.directory);
      file.listed = ShortName;
      file.decrypt = IsContainerName(file.listed, system_.NamesIgnoreCase());
      if (!file.decrypt) CheckRestorable(system_, file.listed);
      file.size = system_.FileSize(file.path);
      (file.decrypt ? any_container : any_plain) = true;
    } catch (const Failure& failure) {
      file.result = FileResult::kFailed;
      file.why = failure.what();
    }
    Files.push_back(file);
  }
  std::vector<SetFile> shown;
  for (const SetFile& file : Files)
    if (file.result == FileResult::kPending) shown.push_back(file);
  if (shown.empty()) {
    std::string cause = Files.front().why;
    if (Files.size() > 1)
      cause += " (and " + std::to_string(Files.size() - 1) + " more)";
    throw Failure(cause);
  }
  view_.SetText(Control::lblFile, SetLabel(shown));
  view_.SetDetails(Control::lblFile, SetDetails(shown));
  if (!any_plain) {
    Decrypt();
  } else if (any_container) {
    // Some files are encrypted and some decrypted.
    view_.SetText(Control::cmdOK, "OK");
  }
}

std::string frmMain::FilePath(const std::string& Path) {
  std::size_t separator = Path.rfind(system_.Separator());
  std::size_t name = separator == std::string::npos ? 0 : separator + 1;
  // Names were always cut to 64 characters; a longer one could only ever
  // find some other file.
  if (Path.size() - name > kMaxShortName)
    throw Failure(EscapeName(Path.substr(name)) +
                  ": names are limited to 64 characters");
  ShortName = Path.substr(name);
  return Path.substr(0, name);
}

}  // namespace ovalith
