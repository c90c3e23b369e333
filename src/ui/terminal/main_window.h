// main_window.h: the main window on a terminal: the caption, the file, the
// masked password fields, the two buttons as key hints, and the keys that
// edit the fields.
#pragma once

#include <array>
#include <string>

#include "platform/view.h"
#include "ui/terminal/console.h"

namespace ovalith {

// Texts and visibility of the main window's controls.
class MainWindowState {
 public:
  MainWindowState();
  std::string& Text(Control c) { return text_[Index(c)]; }
  const std::string& Text(Control c) const { return text_[Index(c)]; }
  bool& Visible(Control c) { return visible_[Index(c)]; }
  bool Visible(Control c) const { return visible_[Index(c)]; }

 private:
  static constexpr std::size_t kCount = 9;
  static std::size_t Index(Control c) { return static_cast<std::size_t>(c); }
  std::array<std::string, kCount> text_;
  std::array<bool, kCount> visible_;
};

// Draws the window, reads keys (in keys mode) until OK, Cancel or close,
// editing the password texts in state.  Leaves the cursor on a fresh line
// below the window.
MainEvent EditMainWindow(Console& console, MainWindowState& state);

}  // namespace ovalith
