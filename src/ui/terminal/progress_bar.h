// progress_bar.h: the progress window on a terminal: one line with the
// caption, a bar, the percentage, the bytes done of the total and the
// throughput, redrawn in place a few times a second.
#pragma once

#include <cstdint>
#include <string>

#include "ui/terminal/console.h"

namespace ovalith {

// The line for value of max bytes after seconds, at most width - 1
// characters wide (the last column would wrap on some terminals).
std::string FormatProgressLine(const std::string& caption, std::uint64_t value,
                               std::uint64_t max, double seconds,
                               std::size_t width);

class ProgressBar {
 public:
  // Draws on the console's standard error when it is a terminal.
  explicit ProgressBar(Console& console) : console_(console) {}
  ~ProgressBar() { Hide(); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // The line appears once the size is known (SetMax).  Shown again while
  // visible (the next file of a set), it keeps its start and position.
  void Show(const std::string& caption);
  void SetMax(std::uint64_t max);
  // Which file of a set: shown after the caption.
  void SetStep(const std::string& step);
  void SetValue(std::uint64_t value) {
    value_ = value;
    if (visible_) Draw();
  }
  // Takes the bar off the screen, leaving the cursor at the line's start.
  void Hide();

  // While a message is printed: off the screen, then back.
  void Lift();
  void PutBack();

 private:
  void Draw();
  void Erase();

  Console& console_;
  bool visible_ = false;
  bool drawn_ = false;
  bool max_known_ = false;
  std::string caption_;
  std::string step_;
  std::string last_line_;  // as drawn: the same frame is not drawn twice
  std::uint64_t max_ = 0;
  std::uint64_t value_ = 0;
  double started_ = 0;
  double last_draw_ = 0;
};

}  // namespace ovalith
