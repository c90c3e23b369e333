#include "ui/gtk/gtk_view.h"

#include <unistd.h>

#include "platform/posix/signal_cleanup.h"
#include "ui/gtk/dialog_layout.h"
#include "ui/gtk/file_chooser.h"
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

void GtkView::SetMainEnabled(bool enabled) {
  // Back in the main window no run is in progress: a stop asked for while
  // a refusal was shown has nothing left to stop.
  if (enabled) progress_.ForgetStopRequest();
  main_.SetEnabled(enabled);
}

void GtkView::Refocus() {
  // Without a window manager the keyboard would stay with no window; in a
  // run it goes back to the progress window, where Escape stops.
  if (!progress_.Present()) main_.Present();
}

MainEvent GtkView::WaitForMainEvent() { return main_.Wait(); }

void GtkView::UnloadWindows() {
  StopOnSignal(false);
  progress_.Destroy();
  main_.Destroy();
  // Lets the windows go from the screen before the process ends.
  DrainEvents();
}

void GtkView::SetDetails(Control control, const std::string& details) {
  main_.SetDetails(control, details);
}

std::vector<std::string> GtkView::ChooseFiles() { return RunFileChooser(); }

void GtkView::ShowInformation(const std::string& text) {
  // --help and --version are asked for from a terminal.
  (void)!write(1, text.data(), text.size());
}

Answer GtkView::MessageBox(const std::string& text, Icon icon) {
  const Answer answer = RunMessageBox(main_.window(), text, icon);
  Refocus();
  return answer;
}

Answer GtkView::AskInSet(const std::string& text) {
  const Answer answer =
      RunMessageBox(main_.window(), text, Icon::Question, true);
  Refocus();
  return answer;
}

void GtkView::ShowUsage(const std::string& text, const std::string& cause) {
  // The box keeps the usage text and says why as its last line; standard
  // error has the cause too, for a script.
  std::string shown = text;
  if (!cause.empty()) {
    const std::string line = "ovalith-gtk: " + cause + "\n";
    (void)!write(2, line.data(), line.size());
    shown += "\r\n\r\n" + cause;
  }
  MessageBox(shown, Icon::Exclamation);
}

void GtkView::ProgressShow(const std::string& caption) {
  // During a run Ctrl-C (from the terminal that started it) or a SIGTERM
  // stops it as the progress window's close box does.
  StopOnSignal(true);
  progress_.Show(caption);
}

void GtkView::ProgressSetMax(std::uint64_t max) { progress_.SetMax(max); }

void GtkView::ProgressSetValue(std::uint64_t value) {
  progress_.SetValue(value);
}

void GtkView::ProgressHide() {
  StopOnSignal(false);
  progress_.Hide();
  main_.Present();
}

void GtkView::ProcessPendingEvents() { DrainEvents(); }

void GtkView::ProgressSetStep(const std::string& step) {
  progress_.SetStep(step);
}

bool GtkView::StopRequested() {
  DrainEvents();
  return progress_.stop_requested() || StopWasRequested();
}

}  // namespace ovalith::gtk
