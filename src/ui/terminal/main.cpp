// main.cpp: the POSIX program: the main window on the terminal, the rest of
// the platform from POSIX.
#include <signal.h>

#include <exception>
#include <string>
#include <vector>

#include "ui/frm_main.h"
#include "ui/terminal/display_text.h"
#include "ui/terminal/signal_cleanup.h"
#include "ui/terminal/terminal_platform.h"

int main(int argc, char** argv) {
  // Our reader going away must not end a run halfway; the output to it is
  // only ever for show.
  signal(SIGPIPE, SIG_IGN);
  ovalith::InstallSignalCleanup();
  try {
    ovalith::TerminalPlatform platform(
        std::vector<std::string>(argv + 1, argv + argc));
    ovalith::frmMain form(platform);
    return form.Run();
  } catch (const std::exception& e) {
    // Caught so that the stack unwinds and the terminal comes back.
    ovalith::WriteAll(
        2, "ovalith: " + ovalith::EscapeForTerminal(e.what()) + "\n");
    return ovalith::kUsageMessage;
  }
}
