#include "ui/terminal/progress_bar.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "ui/terminal/display_text.h"

namespace ovalith {

namespace {

constexpr std::size_t kMinBar = 10;
// Below this a throughput figure is mostly noise.
constexpr double kMinRateSeconds = 0.1;

double Now() {
  return std::chrono::duration<double>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string Bytes(double n) {
  static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
  char buf[32];
  if (n < 1024) {
    std::snprintf(buf, sizeof buf, "%.0f B", n);
    return buf;
  }
  int unit = -1;
  do {
    n /= 1024;
    ++unit;
  } while (n >= 1024 && unit < 3);
  std::snprintf(buf, sizeof buf, "%.1f %s", n, kUnits[unit]);
  return buf;
}

}  // namespace

std::string FormatProgressLine(const std::string& caption, std::uint64_t value,
                               std::uint64_t max, double seconds,
                               std::size_t width) {
  if (value > max) value = max;
  const double fraction =
      max == 0 ? 0.0 : static_cast<double>(value) / static_cast<double>(max);

  char percent[8];
  std::snprintf(percent, sizeof percent, "%3d%%",
                static_cast<int>(fraction * 100));
  std::vector<std::string> tail = {percent,
                                   Bytes(static_cast<double>(value)) + " / " +
                                       Bytes(static_cast<double>(max))};
  if (seconds >= kMinRateSeconds) {
    tail.push_back(Bytes(static_cast<double>(value) / seconds) + "/s");
  }

  const std::string head = EscapeForTerminal(caption) + " [";
  const std::size_t usable = width > 1 ? width - 1 : 0;
  // Drop the least important parts first when the terminal is narrow.
  for (;;) {
    std::size_t tail_width = 0;
    for (const auto& part : tail) tail_width += 2 + part.size();
    const std::size_t fixed = CharacterCount(head) + 1 + tail_width;
    if (fixed + kMinBar <= usable || tail.empty()) {
      const std::size_t bar = usable > fixed ? usable - fixed : 0;
      const auto filled =
          static_cast<std::size_t>(fraction * static_cast<double>(bar));
      std::string line = head + std::string(filled, '#') +
                         std::string(bar - filled, '-') + "]";
      for (const auto& part : tail) line += "  " + part;
      return line;
    }
    tail.pop_back();
  }
}

void ProgressBar::Show(const std::string& caption) {
  caption_ = caption;
  if (visible_) return Draw();
  value_ = 0;
  visible_ = true;
  max_known_ = false;
  step_.clear();
  started_ = Now();
}

void ProgressBar::SetMax(std::uint64_t max) {
  max_ = max;
  max_known_ = true;
  if (visible_) Draw();
}

void ProgressBar::SetStep(const std::string& step) {
  step_ = step;
  if (visible_) Draw();
}

void ProgressBar::Hide() {
  Erase();
  visible_ = false;
}

void ProgressBar::Lift() { Erase(); }

void ProgressBar::PutBack() {
  if (visible_) Draw();
}

void ProgressBar::Draw() {
  if (!console_.ErrorIsTerminal() || !max_known_) return;
  last_draw_ = Now();
  const std::string caption = step_.empty() ? caption_ : caption_ + " " + step_;
  std::string line = FormatProgressLine(
      caption, value_, max_, last_draw_ - started_, console_.ErrorWidth());
  if (drawn_ && line == last_line_) return;
  console_.WriteError("\r" + line + "\x1b[K");
  last_line_ = std::move(line);
  drawn_ = true;
  console_.ProgressLineOpen(true);
}

void ProgressBar::Erase() {
  if (!drawn_) return;
  console_.WriteError("\r\x1b[K");
  drawn_ = false;
  console_.ProgressLineOpen(false);
}

}  // namespace ovalith
