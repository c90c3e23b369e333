#include "ui/terminal/terminal_view.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/posix/signal_cleanup.h"
#include "ui/terminal/display_text.h"
#include "ui/terminal/keyboard.h"

namespace ovalith {

namespace {

// One line of standard input exactly as it stands, without its "\n"; none
// at the end of the input.  Byte by byte, so that nothing after the line is
// consumed.
std::optional<std::string> ReadLine() {
  std::string line;
  bool any = false;
  for (;;) {
    char c = 0;
    const ssize_t n = read(0, &c, 1);
    // Ctrl-C during a run asks it to stop: no answer then.
    if (n < 0 && errno == EINTR && StopWasRequested()) return std::nullopt;
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return any ? std::optional(line) : std::nullopt;
    any = true;
    if (c == '\n') return line;
    line += c;
  }
}

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

}  // namespace

TerminalView::TerminalView()
    : interactive_(isatty(0) != 0), progress_(isatty(2) != 0 ? 2 : -1) {
  if (interactive_ && isatty(2) == 0) {
    const int fd = open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
      window_fd_ = fd;
      own_window_fd_ = true;
    }
  }
}

TerminalView::~TerminalView() {
  progress_.Hide();
  if (own_window_fd_) close(window_fd_);
}

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
  if (!interactive_) return WaitForLines();
  RawMode raw(0);
  return EditMainWindow(raw, 0, window_fd_, state_);
}

MainEvent TerminalView::WaitForLines() {
  for (const Control field : {Control::txtPW1, Control::txtPW2}) {
    if (!state_.Visible(field)) continue;
    auto line = ReadLine();
    if (!line) return MainEvent::Close;
    state_.Text(field) = *line;
  }
  return MainEvent::Ok;
}

void TerminalView::UnloadWindows() { ProgressHide(); }

void TerminalView::Say(const std::string& text) {
  WriteAll(2, text);
  if (window_fd_ != 2) WriteAll(window_fd_, text);
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
  if (!offer_cancel) StopOnSignal(false);
  const Answer answer =
      interactive_ ? AskTerminal(offer_cancel) : AskLine(offer_cancel);
  if (!offer_cancel && progress_shown_) StopOnSignal(true);
  Say(answer == Answer::Yes ? "yes\n"
                            : answer == Answer::Cancel ? "stop\n" : "no\n");
  progress_.PutBack();
  return answer;
}

Answer TerminalView::AskTerminal(bool offer_cancel) {
  RawMode raw(0);
  for (;;) {
    const Key key = ReadKey(0);
    switch (key.kind) {
      case Key::kText:
        if (key.byte == 'y' || key.byte == 'Y') return Answer::Yes;
        if (key.byte == 'n' || key.byte == 'N') return Answer::No;
        if (offer_cancel && (key.byte == 'c' || key.byte == 'C'))
          return Answer::Cancel;
        break;
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
  const auto line = ReadLine();
  if (!line) return offer_cancel && StopWasRequested() ? Answer::Cancel
                                                       : Answer::No;
  const std::string answer = Lower(*line);
  if (answer == "y" || answer == "yes") return Answer::Yes;
  if (offer_cancel && (answer == "c" || answer == "cancel" || answer == "stop"))
    return Answer::Cancel;
  return Answer::No;
}

void TerminalView::ShowInformation(const std::string& text) {
  WriteAll(1, text);
}

bool TerminalView::StopRequested() { return StopWasRequested(); }

void TerminalView::ShowUsage(const std::string& text,
                             const std::string& cause) {
  std::string out = MessageLines(text, false);
  if (!cause.empty()) out += "ovalith: " + EscapeForTerminal(cause) + "\n";
  progress_.Lift();
  Say(out);
}

void TerminalView::ProgressShow(const std::string& caption) {
  progress_shown_ = true;
  StopOnSignal(true);
  progress_.Show(caption);
}

void TerminalView::ProgressSetMax(std::uint64_t max) { progress_.SetMax(max); }

void TerminalView::ProgressHide() {
  progress_shown_ = false;
  StopOnSignal(false);
  progress_.Hide();
}

}  // namespace ovalith
