#include "ui/gtk/gtk_platform.h"

#include <unistd.h>

#include "ui/gtk/dialog_layout.h"
#include "ui/gtk/message_box.h"

namespace ovalith::gtk {

GtkPlatform::GtkPlatform(std::vector<std::string> args)
    : PosixPlatform(std::move(args)), progress_(main_.scale()) {}

void GtkPlatform::SetText(Control control, const std::string& text) {
  main_.SetText(control, text);
}

std::string GtkPlatform::GetText(Control control) {
  return main_.GetText(control);
}

void GtkPlatform::SetVisible(Control control, bool visible) {
  main_.SetVisible(control, visible);
}

void GtkPlatform::SetMainEnabled(bool enabled) { main_.SetEnabled(enabled); }

MainEvent GtkPlatform::WaitForMainEvent() { return main_.Wait(); }

void GtkPlatform::UnloadWindows() {
  progress_.Destroy();
  main_.Destroy();
  // Lets the windows go from the screen before the process ends.
  DrainEvents();
}

Answer GtkPlatform::MessageBox(const std::string& text, Icon icon) {
  const Answer answer = RunMessageBox(main_.window(), text, icon);
  // Without a window manager the keyboard would stay with no window.
  main_.Present();
  return answer;
}

void GtkPlatform::ShowUsage(const std::string& text, const std::string& cause) {
  // The box keeps the usage text alone; the cause is for whoever started
  // the program from a terminal or a script.
  if (!cause.empty()) {
    const std::string line = "ovalith-gtk: " + cause + "\n";
    (void)!write(2, line.data(), line.size());
  }
  MessageBox(text, Icon::Exclamation);
}

void GtkPlatform::ProgressShow(const std::string& caption) {
  progress_.Show(caption);
}

void GtkPlatform::ProgressSetMax(std::uint64_t max) { progress_.SetMax(max); }

void GtkPlatform::ProgressSetValue(std::uint64_t value) {
  progress_.SetValue(value);
}

void GtkPlatform::ProgressHide() {
  progress_.Hide();
  main_.Present();
}

void GtkPlatform::ProcessPendingEvents() { DrainEvents(); }

}  // namespace ovalith::gtk
