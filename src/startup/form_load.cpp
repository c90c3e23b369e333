// Start-up: from the command line to the file, its directory, the mode and,
// with "/pw=", an immediate run.
#include "protect/container.h"
#include "protect/restorable_name.h"
#include "ui/frm_main.h"

namespace ovalith {

namespace {

const std::size_t kMaxPassword = 20;
const std::size_t kMaxShortName = 64;

}  // namespace

void frmMain::Form_Load() {
  CommandLine line = system_.ReadCommandLine();
  FileName = line.path;

  try {
    if (FileName.empty()) throw Failure("no file name given");
    system_.EnterDrive(FileName);
    // The input is opened by this path after its directory became the
    // working one, so a relative path must not stay relative.
    FileName = system_.AbsolutePath(FileName);
    system_.EnterDirectory(FilePath(FileName));
    std::optional<std::string> listed = system_.LookUp(ShortName);
    if (!listed) throw Failure(EscapeName(FileName) + ": no such file");
    ShortName = *listed;
    view_.SetText(Control::lblFile, ShortName);
    if (IsContainerName(view_.GetText(Control::lblFile))) {
      Decrypt();
    } else {
      // A container this program would refuse to restore is never written.
      CheckRestorable(system_, ShortName);
    }

    if (line.password) {
      std::string password =
          system_.NameToCodePage(*line.password).substr(0, kMaxPassword);
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
