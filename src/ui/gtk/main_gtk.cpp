// main_gtk.cpp: the desktop program: the windows on GTK 4, the rest of the
// platform from POSIX.  Same command line and exit statuses as the
// terminal program.
#include <gtk/gtk.h>
#include <signal.h>
#include <unistd.h>

#include <exception>
#include <string>
#include <vector>

#include "ui/frm_main.h"
#include "ui/gtk/gtk_platform.h"

namespace {

void Say(const std::string& text) {
  const std::string line = "ovalith-gtk: " + text + "\n";
  (void)!write(2, line.data(), line.size());
}

}  // namespace

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  // The name the desktop knows the windows by (WM_CLASS), and their icon.
  g_set_prgname("ovalith-gtk");
  if (!gtk_init_check()) {
    Say("cannot open a display");
    return ovalith::kUsageMessage;
  }
  gtk_window_set_default_icon_name("ovalith");
  try {
    ovalith::gtk::GtkPlatform platform(
        std::vector<std::string>(argv + 1, argv + argc));
    ovalith::frmMain form(platform);
    return form.Run();
  } catch (const std::exception& e) {
    Say(e.what());
    return ovalith::kUsageMessage;
  }
}
