// scripted_view.h: the view of the tests.  It plays a script of what a
// user does (passwords typed, buttons pressed, questions answered) and logs
// everything the program shows, in order.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/view.h"

namespace ovalith {

class ScriptedView : public View {
 public:
  // --- The script -------------------------------------------------------
  // Types into the password boxes (replacing their text), then presses OK.
  void PressOk(const std::string& pw1, const std::string& pw2 = "");
  // Presses OK with the boxes as they are.
  void PressOkAsIs();
  void PressCancel();
  void PressCloseBox();
  void Answer(ovalith::Answer answer) { answers_.push_back(answer); }
  // The user asks to stop once the bar has moved this many times (0: at the
  // first look).
  void StopAfterUpdates(int updates) { stop_after_ = updates; }

  // --- What was shown ---------------------------------------------------
  // Entries such as "information: Both passwords are not equal !!",
  // "question: File already exists !\r\nOverwrite ?", "usage: <cause>",
  // "progress: Encrypting...", "main window shown", "unloaded".
  std::vector<std::string> log;
  std::map<Control, std::string> text;
  std::string details;  // behind lblFile
  std::map<Control, bool> visible;
  bool main_enabled = true;
  std::uint64_t progress_max = 0;
  std::uint64_t progress_value = 0;
  int progress_updates = 0;

  // The log entries that are message boxes or the usage message.
  std::vector<std::string> Messages() const;
  // The cause after the usage message; empty when none was shown.
  std::string UsageCause() const;

  // --- View -------------------------------------------------------------
  void SetText(Control control, const std::string& value) override;
  std::string GetText(Control control) override { return text[control]; }
  void SetVisible(Control control, bool shown) override {
    visible[control] = shown;
  }
  void SetMainEnabled(bool enabled) override { main_enabled = enabled; }
  MainEvent WaitForMainEvent() override;
  void UnloadWindows() override { log.push_back("unloaded"); }
  ovalith::Answer MessageBox(const std::string& message, Icon icon) override;
  ovalith::Answer AskInSet(const std::string& message) override;
  void SetDetails(Control, const std::string& list) override { details = list; }
  void ShowUsage(const std::string& usage, const std::string& cause) override;
  void ProgressShow(const std::string& caption) override;
  void ProgressSetMax(std::uint64_t max) override { progress_max = max; }
  void ProgressSetValue(std::uint64_t value) override {
    progress_value = value;
    ++progress_updates;
  }
  void ProgressHide() override { log.push_back("progress hidden"); }
  void ProcessPendingEvents() override {}
  void ProgressSetStep(const std::string& step) override {
    log.push_back("step: " + step);
  }
  bool StopRequested() override {
    return stop_after_ >= 0 && progress_updates >= stop_after_;
  }

 private:
  ovalith::Answer NextAnswer();
  struct Step {
    MainEvent event;
    bool type;
    std::string pw1, pw2;
  };
  std::deque<Step> steps_;
  std::deque<ovalith::Answer> answers_;
  int stop_after_ = -1;
};

// Runs the program on system with view as its front end; the exit status.
int RunProgram(System& system, ScriptedView& view);

}  // namespace ovalith
