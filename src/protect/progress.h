// progress.h: the progress update both runs call after every block.  The
// one throttle of the program: the position goes to the view only every
// few hundred KiB and at most ten times a second, so the call costs a
// comparison and a view only ever draws.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/view.h"

namespace ovalith {

class Progress {
 public:
  explicit Progress(View& view) : view_(view) {}

  void Update(std::uint64_t position) {
    if (position >= next_) Report(position);
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::uint64_t kStep = 256 * 1024;
  static constexpr Clock::duration kInterval = std::chrono::milliseconds(100);

  void Report(std::uint64_t position) {
    next_ = position + kStep;
    Clock::time_point now = Clock::now();
    if (reported_ && now - last_ < kInterval) return;
    view_.ProgressSetValue(position);
    last_ = now;
    reported_ = true;
  }

  View& view_;
  std::uint64_t next_ = 0;
  Clock::time_point last_{};
  bool reported_ = false;
};

}  // namespace ovalith
