// What both runs do around their output: the checks before it is written
// and the record of what a set of files has written.
#include "protect/run.h"

#include "protect/container.h"

namespace ovalith {

bool CheckEncryptionPassword(View& view, const std::string& password) {
  // Counted in the key's bytes, one a character of the code page.
  if (password.size() < 4) {
    view.MessageBox("The password must be at least 4 characters.",
                    Icon::Information);
    return false;
  }
  if (view.GetText(Control::txtPW1) != view.GetText(Control::txtPW2)) {
    view.MessageBox("Both passwords are not equal !!", Icon::Information);
    return false;
  }
  return true;
}

void ShowWrongPassword(View& view) {
  view.MessageBox("Wrong password or not an Ovalith 2.0 file",
                  Icon::Information);
}

std::optional<RunOutcome> CheckOutput(RunState& run, const std::string& name) {
  if (!run.system.LookUp(name)) return std::nullopt;
  const std::string output = run.system.FileIdentity(name);
  // However it is named (letter case, a link), the input is never
  // replaced by what is being made from it.
  if (!output.empty() && output == run.system.FileIdentity(run.FileName))
    throw Failure(EscapeName(name) +
                  ": is the file being read, and is never written over");
  if (run.set) {
    if (!output.empty() && run.set->written.contains(output)) {
      run.set->why = EscapeName(name) +
                     " was written by an earlier file of this run, and is "
                     "not replaced";
      return RunOutcome::kSkipped;
    }
    switch (run.view.AskInSet("File already exists !\r\n" + name +
                              "\r\nOverwrite ?")) {
      case Answer::Yes:
        return std::nullopt;
      case Answer::Cancel:
        throw RunStopped();
      default:
        run.set->why = EscapeName(name) + " exists and was kept";
        return RunOutcome::kDeclined;
    }
  }
  if (run.view.MessageBox("File already exists !\r\nOverwrite ?",
                          Icon::Question) == Answer::Yes)
    return std::nullopt;
  return RunOutcome::kRefused;
}

void CommitOutput(RunState& run, PendingOutput& output,
                  const std::string& name) {
  output.Commit();
  if (run.set) run.set->written.insert(run.system.FileIdentity(name));
}

}  // namespace ovalith
