// main_cli_win32.cpp: ovalith-cli.exe, the terminal program on Windows: the
// Windows system and the terminal view on the console.
#include <exception>
#include <string>

#include "platform/win32/win32_system.h"
#include "platform/win32/windows_api.h"
#include "ui/frm_main.h"
#include "ui/terminal/display_text.h"
#include "ui/terminal/terminal_view.h"
#include "ui/terminal/win32_console.h"

int main() {
  // A script waits for no dialog: no "insert a disk" box for an empty drive.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  ovalith::win32::Win32Console console;
  try {
    ovalith::win32::Win32System system;
    ovalith::TerminalView view(console);
    ovalith::frmMain form(system, view);
    return form.Run();
  } catch (const std::exception& e) {
    console.WriteError("ovalith: " + ovalith::EscapeForTerminal(e.what()) +
                       "\n");
    return ovalith::kUsageMessage;
  }
}
