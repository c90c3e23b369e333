#include "ui/terminal/terminal_view.h"

#include "ui/terminal/display_text.h"

namespace ovalith {

namespace {

std::string KindMark(Icon icon) {
  switch (icon) {
    case Icon::Information:
      return "information";
    case Icon::Exclamation:
      return "warning";
    case Icon::Question:
      return "question";
  }
  return "";
}

// The lines of a message, each made safe and ended; the last is left open
// for a question's prompt.
std::string MessageLines(const std::string& text, bool open_end) {
  std::string out;
  const auto lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out += EscapeForTerminal(lines[i]);
    if (!open_end || i + 1 < lines.size()) out += "\n";
  }
  return out;
}

std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// An answer typed on a line; anything else is No, the default.
Answer LineAnswer(const std::string& line, bool in_set) {
  const std::string answer = Lowered(line);
  if (answer == "y" || answer == "yes") return Answer::Yes;
  if (in_set && (answer == "c" || answer == "cancel")) return Answer::Cancel;
  return Answer::No;
}

}  // namespace

TerminalView::TerminalView(Console& console)
    : console_(console), progress_(console) {}

TerminalView::~TerminalView() { progress_.Hide(); }

void TerminalView::SetText(Control control, const std::string& text) {
  state_.Text(control) = text;
}

std::string TerminalView::GetText(Control control) {
  return state_.Text(control);
}

void TerminalView::SetVisible(Control control, bool visible) {
  state_.Visible(control) = visible;
}

MainEvent TerminalView::WaitForMainEvent() {
  if (close_pending_) return MainEvent::Close;
  if (console_.StopRequested()) return MainEvent::Close;
  if (!console_.InputIsTerminal()) return WaitForLines();
  KeysMode keys(console_);
  return EditMainWindow(console_, state_);
}

MainEvent TerminalView::WaitForLines() {
  for (const Control field : {Control::txtPW1, Control::txtPW2}) {
    if (!state_.Visible(field)) continue;
    auto line = console_.ReadLine();
    if (!line) return MainEvent::Close;
    state_.Text(field) = *line;
  }
  return MainEvent::Ok;
}

void TerminalView::UnloadWindows() { progress_.Hide(); }

void TerminalView::Say(const std::string& text) {
  console_.WriteError(text);
  if (!console_.WindowIsError()) console_.WriteWindow(text);
}

void TerminalView::ShowInformation(const std::string& text) {
  console_.WriteOutput(MessageLines(text, false));
}

Answer TerminalView::MessageBox(const std::string& text, Icon icon) {
  if (icon == Icon::Question) return Ask(text, false);
  progress_.Lift();
  Say("ovalith: " + KindMark(icon) + ": " + MessageLines(text, false));
  progress_.PutBack();
  return Answer::Ok;
}

Answer TerminalView::AskInSet(const std::string& text) {
  return Ask(text, true);
}

Answer TerminalView::Ask(const std::string& text, bool in_set) {
  progress_.Lift();
  Say("ovalith: question: " + MessageLines(text, true) +
      (in_set ? " [y/N/c] " : " [y/N] "));
  const Answer answer =
      console_.InputIsTerminal() ? AskTerminal(in_set) : AskLine(in_set);
  Say(answer == Answer::Yes      ? "yes\n"
      : answer == Answer::Cancel ? "cancel\n"
                                 : "no\n");
  progress_.PutBack();
  return answer;
}

Answer TerminalView::AskTerminal(bool in_set) {
  KeysMode keys(console_);
  for (;;) {
    const Key key = console_.ReadKey();
    switch (key.kind) {
      case Key::kText: {
        const Answer answer = LineAnswer(key.text, in_set);
        if (answer != Answer::No || Lowered(key.text) == "n") return answer;
        break;
      }
      case Key::kEnter:
      case Key::kEscape:
        return Answer::No;
      case Key::kInterrupt:
      case Key::kEndOfFile:
      case Key::kClosed:
        close_pending_ = true;
        return in_set ? Answer::Cancel : Answer::No;
      default:
        break;
    }
  }
}

Answer TerminalView::AskLine(bool in_set) {
  const auto line = console_.ReadLine();
  if (!line) close_pending_ = console_.StopRequested();
  return line ? LineAnswer(*line, in_set) : Answer::No;
}

void TerminalView::ShowUsage(const std::string& text,
                             const std::string& cause) {
  std::string out = MessageLines(text, false);
  if (!cause.empty()) out += "ovalith: " + EscapeForTerminal(cause) + "\n";
  progress_.Lift();
  Say(out);
}

void TerminalView::ProgressShow(const std::string& caption) {
  progress_.Show(caption);
}

void TerminalView::ProgressSetMax(std::uint64_t max) { progress_.SetMax(max); }

void TerminalView::ProgressHide() { progress_.Hide(); }

}  // namespace ovalith
