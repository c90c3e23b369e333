#include "ui/gtk/gtk_view.h"

#include <unistd.h>

#include "ui/gtk/dialog_layout.h"
#include "ui/gtk/message_box.h"

namespace ovalith::gtk {

GtkView::GtkView() : progress_(main_.scale()) {}

void GtkView::SetText(Control control, const std::string& text) {
  main_.SetText(control, text);
}

std::string GtkView::GetText(Control control) { return main_.GetText(control); }

void GtkView::SetVisible(Control control, bool visible) {
  main_.SetVisible(control, visible);
}

void GtkView::SetMainEnabled(bool enabled) { main_.SetEnabled(enabled); }

MainEvent GtkView::WaitForMainEvent() { return main_.Wait(); }

void GtkView::UnloadWindows() {
  progress_.Destroy();
  main_.Destroy();
  // Lets the windows go from the screen before the process ends.
  DrainEvents();
}

Answer GtkView::MessageBox(const std::string& text, Icon icon) {
  const Answer answer = RunMessageBox(main_.window(), text, icon);
  // Without a window manager the keyboard would stay with no window.
  main_.Present();
  return answer;
}

void GtkView::ShowUsage(const std::string& text, const std::string& cause) {
  // The box keeps the usage text alone; the cause is for whoever started
  // the program from a terminal or a script.
  if (!cause.empty()) {
    const std::string line = "ovalith-gtk: " + cause + "\n";
    (void)!write(2, line.data(), line.size());
  }
  MessageBox(text, Icon::Exclamation);
}

void GtkView::ProgressShow(const std::string& caption) {
  progress_.Show(caption);
}

void GtkView::ProgressSetMax(std::uint64_t max) { progress_.SetMax(max); }

void GtkView::ProgressSetValue(std::uint64_t value) {
  progress_.SetValue(value);
}

void GtkView::ProgressHide() {
  progress_.Hide();
  main_.Present();
}

void GtkView::ProcessPendingEvents() { DrainEvents(); }

}  // namespace ovalith::gtk
