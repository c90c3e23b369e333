// progress.h: the progress update both runs call after every block.  The
// one throttle of the program: the position goes to the view only every
// few hundred KiB and at most ten times a second, so the call costs a
// comparison and a view only ever draws.  At the same moments it asks the
// view whether the user wants the run stopped.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/view.h"

namespace ovalith {

// Thrown when the user stops a run; the output being written is removed
// on the way out, as on any failure.  Not a Failure: nothing went wrong.
struct RunStopped {};

class Progress {
 public:
  // base: what the view's bar shows already done before this file.
  explicit Progress(View& view, std::uint64_t base = 0)
      : view_(view), base_(base) {}

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
    if (view_.StopRequested()) throw RunStopped();
    view_.ProgressSetValue(base_ + position);
    last_ = now;
    reported_ = true;
  }

  View& view_;
  std::uint64_t base_;
  std::uint64_t next_ = 0;
  Clock::time_point last_{};
  bool reported_ = false;
};

}  // namespace ovalith
