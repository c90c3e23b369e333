// main.cpp: the terminal program: the POSIX system and the terminal view.
#include <exception>
#include <string>
#include <vector>

#include "platform/linux/executable_directory.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/signal_cleanup.h"
#include "ui/frm_main.h"
#include "ui/terminal/display_text.h"
#include "ui/terminal/posix_console.h"
#include "ui/terminal/terminal_view.h"

int main(int argc, char** argv) {
  ovalith::InstallSignalCleanup();
  ovalith::PosixConsole console;
  try {
    ovalith::PosixSystem system(std::vector<std::string>(argv + 1, argv + argc),
                                ovalith::LinuxExecutableDirectory());
    ovalith::TerminalView view(console);
    ovalith::frmMain form(system, view);
    return form.Run();
  } catch (const std::exception& e) {
    // Caught so that the stack unwinds and the terminal comes back.
    console.WriteError("ovalith: " + ovalith::EscapeForTerminal(e.what()) +
                       "\n");
    return ovalith::kUsageMessage;
  }
}
