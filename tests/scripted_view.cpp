#include "scripted_view.h"

#include "ui/frm_main.h"

namespace ovalith {

void ScriptedView::PressOk(const std::string& pw1, const std::string& pw2) {
  steps_.push_back({MainEvent::Ok, true, pw1, pw2});
}
void ScriptedView::PressOkAsIs() {
  steps_.push_back({MainEvent::Ok, false, "", ""});
}
void ScriptedView::PressCancel() {
  steps_.push_back({MainEvent::Cancel, false, "", ""});
}
void ScriptedView::PressCloseBox() {
  steps_.push_back({MainEvent::Close, false, "", ""});
}

std::vector<std::string> ScriptedView::Messages() const {
  std::vector<std::string> messages;
  for (const std::string& entry : log)
    if (entry.starts_with("information: ") || entry.starts_with("question: ") ||
        entry.starts_with("exclamation: ") || entry.starts_with("usage: "))
      messages.push_back(entry);
  return messages;
}

std::string ScriptedView::UsageCause() const {
  for (const std::string& m : Messages())
    if (m.starts_with("usage: ")) return m.substr(7);
  return "";
}

void ScriptedView::SetText(Control control, const std::string& value) {
  text[control] = value;
  if (control == Control::frmMain) log.push_back("caption: " + value);
}

MainEvent ScriptedView::WaitForMainEvent() {
  log.push_back("main window shown");
  // A user who has nothing more to do closes the window.
  if (steps_.empty()) return MainEvent::Close;
  Step step = steps_.front();
  steps_.pop_front();
  if (step.type) {
    text[Control::txtPW1] = step.pw1;
    text[Control::txtPW2] = step.pw2;
  }
  return step.event;
}

ovalith::Answer ScriptedView::MessageBox(const std::string& message,
                                         Icon icon) {
  switch (icon) {
    case Icon::Information:
      log.push_back("information: " + message);
      return ovalith::Answer::Ok;
    case Icon::Exclamation:
      log.push_back("exclamation: " + message);
      return ovalith::Answer::Ok;
    case Icon::Question:
      break;
  }
  log.push_back("question: " + message);
  return NextAnswer();
}

ovalith::Answer ScriptedView::AskInSet(const std::string& message) {
  log.push_back("question: " + message);
  return NextAnswer();
}

ovalith::Answer ScriptedView::NextAnswer() {
  if (answers_.empty()) return ovalith::Answer::No;
  ovalith::Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedView::ShowUsage(const std::string& usage,
                             const std::string& cause) {
  log.push_back("usage text: " + usage);
  log.push_back("usage: " + cause);
}

void ScriptedView::ProgressShow(const std::string& caption) {
  log.push_back("progress: " + caption);
}

int RunProgram(System& system, ScriptedView& view) {
  return frmMain(system, view).Run();
}

}  // namespace ovalith
