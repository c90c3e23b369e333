// gtk_view.h: the view of the desktop program: the two windows and the
// message boxes on GTK 4.
#pragma once

#include <string>
#include <vector>

#include "platform/view.h"
#include "ui/gtk/main_window.h"
#include "ui/gtk/progress_window.h"

namespace ovalith::gtk {

class GtkView : public View {
 public:
  // GTK must be initialised.
  GtkView();

  void SetText(Control control, const std::string& text) override;
  std::string GetText(Control control) override;
  void SetVisible(Control control, bool visible) override;
  void SetMainEnabled(bool enabled) override;
  MainEvent WaitForMainEvent() override;
  void UnloadWindows() override;
  void SetDetails(Control control, const std::string& details) override;
  std::vector<std::string> ChooseFiles() override;
  void ShowInformation(const std::string& text) override;

  Answer MessageBox(const std::string& text, Icon icon) override;
  Answer AskInSet(const std::string& text) override;
  void ShowUsage(const std::string& text, const std::string& cause) override;

  void ProgressShow(const std::string& caption) override;
  void ProgressSetMax(std::uint64_t max) override;
  void ProgressSetValue(std::uint64_t value) override;
  void ProgressHide() override;
  void ProcessPendingEvents() override;
  void ProgressSetStep(const std::string& step) override;
  bool StopRequested() override;

 private:
  // After a message box: the keyboard to the window it came from.
  void Refocus();

  MainWindow main_;
  ProgressWindow progress_;
};

}  // namespace ovalith::gtk
