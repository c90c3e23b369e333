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

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// An answer typed on a line or as a key; anything else is No, the default.
Answer TypedAnswer(const std::string& typed, bool offer_cancel) {
  const std::string answer = Lower(typed);
  if (answer == "y" || answer == "yes") return Answer::Yes;
  if (offer_cancel && (answer == "c" || answer == "cancel" || answer == "stop"))
    return Answer::Cancel;
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

void TerminalView::UnloadWindows() { ProgressHide(); }

void TerminalView::Say(const std::string& text) {
  console_.WriteError(text);
  if (!console_.WindowIsError()) console_.WriteWindow(text);
}

void TerminalView::ShowInformation(const std::string& text) {
  console_.WriteOutput(text);
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

Answer TerminalView::Ask(const std::string& text, bool offer_cancel) {
  progress_.Lift();
  Say("ovalith: " + KindMark(Icon::Question) + ": " + MessageLines(text, true) +
      (offer_cancel ? " [y/N/c=stop] " : " [y/N] "));
  // Alone, a file's question ends the program on Ctrl-C, as it always did;
  // in a set, Ctrl-C stops the set.
  if (!offer_cancel) console_.StopOnInterrupt(false);
  const Answer answer = console_.InputIsTerminal() ? AskTerminal(offer_cancel)
                                                   : AskLine(offer_cancel);
  if (!offer_cancel && progress_shown_) console_.StopOnInterrupt(true);
  Say(answer == Answer::Yes      ? "yes\n"
      : answer == Answer::Cancel ? "stop\n"
                                 : "no\n");
  progress_.PutBack();
  return answer;
}

Answer TerminalView::AskTerminal(bool offer_cancel) {
  KeysMode keys(console_);
  for (;;) {
    const Key key = console_.ReadKey();
    switch (key.kind) {
      case Key::kText: {
        const Answer answer = TypedAnswer(key.text, offer_cancel);
        if (answer != Answer::No || Lower(key.text) == "n") return answer;
        break;
      }
      case Key::kEnter:
      case Key::kEscape:
        return Answer::No;
      case Key::kInterrupt:
      case Key::kEndOfFile:
      case Key::kClosed:
        // In a set, Ctrl-C stops the set; alone, it closes as it did.
        if (offer_cancel) return Answer::Cancel;
        close_pending_ = true;
        return Answer::No;
      default:
        break;
    }
  }
}

Answer TerminalView::AskLine(bool offer_cancel) {
  const auto line = console_.ReadLine();
  if (!line)
    return offer_cancel && console_.StopRequested() ? Answer::Cancel
                                                    : Answer::No;
  return TypedAnswer(*line, offer_cancel);
}

void TerminalView::ShowUsage(const std::string& text,
                             const std::string& cause) {
  std::string out = MessageLines(text, false);
  if (!cause.empty()) out += "ovalith: " + EscapeForTerminal(cause) + "\n";
  progress_.Lift();
  Say(out);
}

void TerminalView::ProgressShow(const std::string& caption) {
  progress_shown_ = true;
  console_.StopOnInterrupt(true);
  progress_.Show(caption);
}

void TerminalView::ProgressSetMax(std::uint64_t max) { progress_.SetMax(max); }

void TerminalView::ProgressHide() {
  progress_shown_ = false;
  console_.StopOnInterrupt(false);
  progress_.Hide();
}

}  // namespace ovalith
