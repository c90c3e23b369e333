#include "ui/frm_main.h"

namespace ovalith {

namespace {

// Thrown to end the program from wherever it is, so that no further
// statement of the procedure that ended it runs and every open file is
// closed (and every unfinished output removed) on the way out.
struct ProgramEnd {
  int status;
};

}  // namespace

int frmMain::Run() {
  try {
    Form_Load();
    for (;;) {
      switch (platform_.WaitForMainEvent()) {
        case MainEvent::Ok:
          cmdOK_Click();
          break;
        case MainEvent::Cancel:
          cmdCancel_Click();
          break;
        case MainEvent::Close:
          End(kNotCompleted);
      }
    }
  } catch (const ProgramEnd& end) {
    return end.status;
  }
}

void frmMain::Decrypt() {
  platform_.SetVisible(Control::lblPW2, false);
  platform_.SetVisible(Control::txtPW2, false);
  platform_.SetText(Control::cmdOK, "Decrypt");
  platform_.SetText(Control::frmMain, "Decrypt");
  DecryptMode = true;
}

void frmMain::cmdCancel_Click() { End(kNotCompleted); }

void frmMain::Form_Unload() { platform_.UnloadWindows(); }

void frmMain::End(int status) {
  Form_Unload();
  throw ProgramEnd{status};
}

}  // namespace ovalith
