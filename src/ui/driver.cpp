// The OK button: one run on the file named at start-up.
#include "protect/key_folding.h"
#include "protect/run.h"
#include "ui/frm_main.h"

namespace ovalith {

void frmMain::cmdOK_Click() {
  try {
    view_.SetMainEnabled(false);
    view_.ProgressShow(DecryptMode ? "Decrypting..." : "Encrypting...");
    view_.ProgressSetMax(system_.FileSize(FileName));
    view_.ProgressSetValue(0);
    view_.ProcessPendingEvents();
    KeyBlock = FoldKey(view_.GetText(Control::txtPW1));

    RunState run{system_, view_,     cipher_,  FileName, ShortName,
                 InBlock, NextBlock, OutBlock, KeyBlock};
    RunOutcome outcome = DecryptMode ? DecryptionRun(run) : EncryptionRun(run);
    if (outcome == RunOutcome::kCompleted) End(kCompleted);

    view_.SetMainEnabled(true);
    view_.ProgressHide();
  } catch (const std::exception& failure) {
    // std::exception only: the normal end (End) must pass through.
    Fout(failure.what());
  }
}

}  // namespace ovalith
