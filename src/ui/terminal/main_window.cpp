#include "ui/terminal/main_window.h"

#include <algorithm>
#include <vector>

#include "ui/terminal/display_text.h"

namespace ovalith {

MainWindowState::MainWindowState() {
  Text(Control::frmMain) = "Ovalith 2.0";
  Text(Control::Label1) = "File :";
  Text(Control::lblPW1) = "Enter password :";
  Text(Control::lblFile) = "Filename";
  Text(Control::lblPW2) = "Enter password again :";
  Text(Control::cmdOK) = "Encrypt";
  Text(Control::cmdCancel) = "Cancel";
  visible_.fill(true);
}

namespace {

// Rows below the caption and the file line may be revisited with relative
// cursor moves, so none of them may wrap.
class WindowView {
 public:
  WindowView(Console& console, MainWindowState& state)
      : console_(console), state_(state) {
    fields_.push_back({Control::lblPW1, Control::txtPW1});
    if (state_.Visible(Control::txtPW2)) {
      fields_.push_back({Control::lblPW2, Control::txtPW2});
    }
  }

  std::size_t FieldCount() const { return fields_.size(); }
  std::string& FieldText(std::size_t i) { return state_.Text(fields_[i].text); }

  // The whole window, the cursor at the end of field 0.
  void DrawAll() {
    width_ = console_.WindowWidth();
    std::string s = "\x1b[1m" + Escaped(Control::frmMain) + "\x1b[0m\n";
    if (state_.Visible(Control::Label1) || state_.Visible(Control::lblFile)) {
      s += Escaped(Control::Label1) + " " + Escaped(Control::lblFile) + "\n";
    }
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      s += FieldLine(i) + "\n";
    }
    s += Fit(std::string("[Enter] ") + Escaped(Control::cmdOK) + "   [Esc] " +
             Escaped(Control::cmdCancel));
    row_ = fields_.size();
    console_.WriteWindow(s + MoveTo(0) + FieldLine(0));
  }

  void RedrawField(std::size_t i) {
    console_.WriteWindow(MoveTo(i) + "\r\x1b[K" + FieldLine(i));
  }

  // Below the window, on a fresh line.
  void Leave() { console_.WriteWindow(MoveTo(fields_.size()) + "\n"); }

 private:
  struct Field {
    Control label;
    Control text;
  };

  std::string Escaped(Control c) const {
    return state_.Visible(c) ? EscapeForTerminal(state_.Text(c)) : "";
  }

  std::string Fit(const std::string& line) const {
    std::string out;
    std::size_t count = 0;
    for (const char c : line) {
      const bool starts = (static_cast<unsigned char>(c) & 0xc0) != 0x80;
      if (starts && ++count > width_ - 1) break;
      out += c;
    }
    return out;
  }

  std::string FieldLine(std::size_t i) const {
    std::size_t label_width = 0;
    for (const auto& f : fields_) {
      label_width = std::max(label_width, CharacterCount(Escaped(f.label)));
    }
    std::string line = Escaped(fields_[i].label);
    line.append(label_width - CharacterCount(line) + 1, ' ');
    const std::size_t used = CharacterCount(line);
    const std::size_t room = width_ > used + 2 ? width_ - used - 2 : 1;
    const std::size_t stars = CharacterCount(state_.Text(fields_[i].text));
    if (stars > room) {
      line += "<" + std::string(room - 1, '*');
    } else {
      line += std::string(stars, '*');
    }
    return Fit(line);
  }

  std::string MoveTo(std::size_t row) {
    std::string s;
    if (row < row_) s = "\x1b[" + std::to_string(row_ - row) + "A";
    if (row > row_) s = "\x1b[" + std::to_string(row - row_) + "B";
    row_ = row;
    return s + "\r";
  }

  Console& console_;
  MainWindowState& state_;
  std::vector<Field> fields_;
  std::size_t width_ = 80;
  std::size_t row_ = 0;
};

// Removes the last character, with all its UTF-8 bytes.
void EraseLastCharacter(std::string& text) {
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.back());
    text.pop_back();
    if ((c & 0xc0) != 0x80) return;
  }
}

}  // namespace

MainEvent EditMainWindow(Console& console, MainWindowState& state) {
  WindowView view(console, state);
  view.DrawAll();
  std::size_t focus = 0;
  // Text kept from a refused attempt is typed over, not added to: the
  // first key that edits a field replaces what it holds.
  std::vector<bool> replace(view.FieldCount());
  for (std::size_t i = 0; i < replace.size(); ++i)
    replace[i] = !view.FieldText(i).empty();
  const auto move_focus = [&](std::size_t to) {
    focus = to;
    view.RedrawField(focus);
  };
  for (;;) {
    const Key key = console.ReadKey();
    std::string& text = view.FieldText(focus);
    switch (key.kind) {
      case Key::kText:
        if (replace[focus]) text.clear();
        text += key.text;
        replace[focus] = false;
        view.RedrawField(focus);
        break;
      case Key::kBackspace:
        if (replace[focus]) text.clear();
        EraseLastCharacter(text);
        replace[focus] = false;
        view.RedrawField(focus);
        break;
      case Key::kKillLine:
        text.clear();
        replace[focus] = false;
        view.RedrawField(focus);
        break;
      case Key::kEnter:
        if (focus + 1 < view.FieldCount()) {
          move_focus(focus + 1);
          break;
        }
        view.Leave();
        return MainEvent::Ok;
      case Key::kNext:
        move_focus((focus + 1) % view.FieldCount());
        break;
      case Key::kPrevious:
        move_focus((focus + view.FieldCount() - 1) % view.FieldCount());
        break;
      case Key::kEscape:
        view.Leave();
        return MainEvent::Cancel;
      case Key::kEndOfFile:
        if (!text.empty()) break;
        [[fallthrough]];
      case Key::kInterrupt:
      case Key::kClosed:
        view.Leave();
        return MainEvent::Close;
      case Key::kSuspend:
        view.Leave();
        console.Suspend();
        view.DrawAll();
        focus = 0;
        break;
      case Key::kIgnored:
        break;
    }
  }
}

}  // namespace ovalith
