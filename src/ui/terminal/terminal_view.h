// terminal_view.h: the view of the terminal program: the main window on a
// terminal (or, without one, password lines and answers read from standard
// input), message boxes and the progress line on standard error.  The same
// on every system; the Console is the system's.
#pragma once

#include <string>
#include <vector>

#include "platform/view.h"
#include "ui/terminal/console.h"
#include "ui/terminal/main_window.h"
#include "ui/terminal/progress_bar.h"

namespace ovalith {

class TerminalView : public View {
 public:
  explicit TerminalView(Console& console);
  ~TerminalView() override;
  TerminalView(const TerminalView&) = delete;
  TerminalView& operator=(const TerminalView&) = delete;

  void SetText(Control control, const std::string& text) override;
  std::string GetText(Control control) override;
  void SetVisible(Control control, bool visible) override;
  void SetMainEnabled(bool) override {}
  MainEvent WaitForMainEvent() override;
  void UnloadWindows() override;

  Answer MessageBox(const std::string& text, Icon icon) override;
  Answer AskInSet(const std::string& text) override;
  void ShowUsage(const std::string& text, const std::string& cause) override;
  void ShowInformation(const std::string& text) override;

  void ProgressShow(const std::string& caption) override;
  void ProgressSetMax(std::uint64_t max) override;
  void ProgressSetValue(std::uint64_t value) override {
    progress_.SetValue(value);
  }
  void ProgressHide() override;
  void ProcessPendingEvents() override {}
  void ProgressSetStep(const std::string& step) override {
    progress_.SetStep(step);
  }
  bool StopRequested() override { return console_.StopRequested(); }

 private:
  MainEvent WaitForLines();
  Answer Ask(const std::string& text, bool offer_cancel);
  Answer AskTerminal(bool offer_cancel);
  Answer AskLine(bool offer_cancel);
  // Writes to standard error, and to the window's terminal when the window
  // is drawn elsewhere.  The progress line must be lifted first.
  void Say(const std::string& text);

  Console& console_;
  MainWindowState state_;
  ProgressBar progress_;
  // A question was answered by closing: the window closes as it comes back.
  bool close_pending_ = false;
  // A run is on: Ctrl-C asks it to stop (Console::StopOnInterrupt).
  bool progress_shown_ = false;
};

}  // namespace ovalith
