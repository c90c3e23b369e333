// The OK button: one run on the file named at start-up, or one on each file
// of a set.
#include "protect/container.h"
#include "protect/input_reader.h"
#include "protect/key_folding.h"
#include "protect/run.h"
#include "ui/frm_main.h"

namespace ovalith {

void frmMain::cmdOK_Click() {
  if (Files.empty()) {
    RunOne();
  } else {
    RunSet();
  }
}

std::optional<std::string> frmMain::ReadPassword() {
  std::optional<std::string> password =
      system_.PasswordToCodePage(view_.GetText(Control::txtPW1));
  if (!password)
    view_.MessageBox("The password holds a character that " +
                         system_.PasswordCodePage() +
                         " lacks: passwords may only hold characters of "
                         "that code page.",
                     Icon::Information);
  return password;
}

void frmMain::RunOne() {
  try {
    view_.SetMainEnabled(false);
    view_.ProgressShow(DecryptMode ? "Decrypting..." : "Encrypting...");
    view_.ProgressSetMax(system_.FileSize(FileName));
    view_.ProgressSetValue(0);
    view_.ProcessPendingEvents();
    if (std::optional<std::string> password = ReadPassword()) {
      KeyBlock = FoldKey(*password);
      RunState run{system_, view_,     cipher_,  FileName, ShortName,
                   InBlock, NextBlock, OutBlock, KeyBlock, *password};
      RunOutcome outcome =
          DecryptMode ? DecryptionRun(run) : EncryptionRun(run);
      if (outcome == RunOutcome::kCompleted) End(kCompleted);
    }
    view_.SetMainEnabled(true);
    view_.ProgressHide();
  } catch (const RunStopped&) {
    // The output in the making is gone; nothing else was touched.
    End(kNotCompleted);
  } catch (const std::exception& failure) {
    // std::exception only: the normal end (End) must pass through.
    Fout(failure.what());
  }
}

bool frmMain::CheckSetPassword(const std::string& password) {
  bool any_plain = false;
  for (const SetFile& file : Files)
    any_plain |= file.result == FileResult::kPending && !file.decrypt;
  if (any_plain && !CheckEncryptionPassword(view_, password)) return false;
  KeyBlock = FoldKey(password);
  // A mistyped password costs a retyping, not a set of skipped files: the
  // first container that can be read tells.
  for (const SetFile& file : Files) {
    if (file.result != FileResult::kPending || !file.decrypt) continue;
    try {
      InputReader input(system_, file.path);
      InBlock = input.ReadBlock();
      cipher_.Decrypt(InBlock, OutBlock, KeyBlock);
    } catch (const std::exception&) {
      continue;  // that file fails in its turn, saying why
    }
    if (CheckHeader(OutBlock)) return true;
    ShowWrongPassword(view_);
    return false;
  }
  return true;
}

RunOutcome frmMain::RunFile(SetFile& file, SetRun& set,
                            const std::string& password, std::uint64_t base) {
  set.why.clear();
  system_.EnterDrive(file.path);
  system_.EnterDirectory(file.directory);
  FileName = file.path;
  ShortName = file.listed;
  RunState run{system_,   view_,    cipher_,  FileName, ShortName, InBlock,
               NextBlock, OutBlock, KeyBlock, password, &set,      base};
  return file.decrypt ? DecryptionRun(run) : EncryptionRun(run);
}

void frmMain::RunSet() {
  std::optional<std::string> password;
  try {
    view_.SetMainEnabled(false);
    password = ReadPassword();
    if (!password || !CheckSetPassword(*password)) {
      view_.SetMainEnabled(true);
      return;
    }
  } catch (const std::exception& failure) {
    Fout(failure.what());
  }

  std::uint64_t total = 0;
  std::size_t count = 0;
  for (const SetFile& file : Files) {
    if (file.result != FileResult::kPending) continue;
    total += file.size;
    ++count;
  }
  SetRun set;
  std::uint64_t base = 0;
  std::size_t index = 0;
  for (SetFile& file : Files) {
    if (file.result != FileResult::kPending) continue;
    view_.ProgressShow(file.decrypt ? "Decrypting..." : "Encrypting...");
    view_.ProgressSetMax(total);
    view_.ProgressSetValue(base);
    view_.ProgressSetStep(std::to_string(++index) + " of " +
                          std::to_string(count) + ": " + file.listed);
    view_.ProcessPendingEvents();
    try {
      if (view_.StopRequested()) throw RunStopped();
      switch (RunFile(file, set, *password, base)) {
        case RunOutcome::kCompleted:
          file.result = FileResult::kDone;
          break;
        case RunOutcome::kDeclined:
          file.result = FileResult::kDeclined;
          file.why = set.why;
          break;
        case RunOutcome::kRefused:
        case RunOutcome::kSkipped:
          file.result = FileResult::kFailed;
          file.why = set.why;
          break;
      }
    } catch (const RunStopped&) {
      file.result = FileResult::kStopped;
      break;
    } catch (const std::exception& failure) {
      file.result = FileResult::kFailed;
      file.why = failure.what();
    }
    base += file.size;
  }
  view_.ProgressHide();
  const std::string summary = SetSummary(Files);
  if (!summary.empty()) view_.MessageBox(summary, Icon::Exclamation);
  End(SetStatus(Files));
}

}  // namespace ovalith
