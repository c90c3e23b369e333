#include "ui/frm_main.h"

#include <exception>
#include <type_traits>

namespace ovalith {

namespace {

// Thrown to end the program from wherever it is, so that no further
// statement of the procedure that ended it runs and every open file is
// closed (and every unfinished output removed) on the way out.  It must
// pass every handler on its way: those catch std::exception only, and a
// catch (...) anywhere under Run would swallow a normal end.
struct ProgramEnd {
  int status;
};
static_assert(!std::is_base_of_v<std::exception, ProgramEnd>);

}  // namespace

int frmMain::Run() {
  try {
    Form_Load();
    for (;;) {
      switch (view_.WaitForMainEvent()) {
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
  view_.SetVisible(Control::lblPW2, false);
  view_.SetVisible(Control::txtPW2, false);
  view_.SetText(Control::cmdOK, "Decrypt");
  view_.SetText(Control::frmMain, "Decrypt");
  DecryptMode = true;
}

void frmMain::cmdCancel_Click() { End(kNotCompleted); }

void frmMain::Form_Unload() { view_.UnloadWindows(); }

void frmMain::End(int status) {
  Form_Unload();
  throw ProgramEnd{status};
}

}  // namespace ovalith
