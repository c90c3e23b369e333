// The OK button: one run on the file named at start-up.
#include "protect/key_folding.h"
#include "protect/run.h"
#include "ui/frm_main.h"

namespace ovalith {

void frmMain::cmdOK_Click() {
  try {
    platform_.SetMainEnabled(false);
    platform_.ProgressShow(DecryptMode ? "Decrypting..." : "Encrypting...");
    platform_.ProgressSetMax(platform_.FileSize(FileName));
    platform_.ProgressSetValue(0);
    platform_.ProcessPendingEvents();
    KeyBlock = FoldKey(platform_.GetText(Control::txtPW1));

    RunState run{platform_, cipher_,   FileName, ShortName,
                 InBlock,   NextBlock, OutBlock, KeyBlock};
    RunOutcome outcome = DecryptMode ? DecryptionRun(run) : EncryptionRun(run);
    if (outcome == RunOutcome::kCompleted) End(kCompleted);

    platform_.SetMainEnabled(true);
    platform_.ProgressHide();
  } catch (const std::exception& failure) {
    Fout(failure.what());
  }
}

}  // namespace ovalith
