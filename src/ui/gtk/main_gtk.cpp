// main_gtk.cpp: the desktop program: the POSIX system and the GTK view.  Same
// command line and exit statuses as the terminal program.
#include <gtk/gtk.h>
#include <signal.h>
#include <unistd.h>

#include <exception>
#include <string>
#include <vector>

#include "platform/linux/executable_directory.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/signal_cleanup.h"
#include "startup/command_line.h"
#include "startup/usage.h"
#include "ui/frm_main.h"
#include "ui/gtk/gtk_view.h"

namespace {

void Say(const std::string& text) {
  const std::string line = "ovalith-gtk: " + text + "\n";
  (void)!write(2, line.data(), line.size());
}

// --help and --version answer even where no window can open.
bool AnsweredWithoutDisplay(const std::vector<std::string>& args) {
  std::string text;
  switch (ovalith::ParseArguments(args).request) {
    case ovalith::Request::kHelp:
      text = ovalith::kHelpText;
      break;
    case ovalith::Request::kVersion:
      text = ovalith::VersionText();
      break;
    default:
      return false;
  }
  (void)!write(1, text.data(), text.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  ovalith::InstallSignalCleanup();
  // The name the desktop knows the windows by (WM_CLASS), and their icon.
  g_set_prgname("ovalith-gtk");
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!gtk_init_check()) {
    if (AnsweredWithoutDisplay(args)) return ovalith::kCompleted;
    Say("cannot open a display");
    return ovalith::kUsageMessage;
  }
  gtk_window_set_default_icon_name("ovalith");
  try {
    ovalith::PosixSystem system(args, ovalith::LinuxExecutableDirectory());
    ovalith::gtk::GtkView view;
    ovalith::frmMain form(system, view);
    return form.Run();
  } catch (const std::exception& e) {
    Say(e.what());
    return ovalith::kUsageMessage;
  }
}
