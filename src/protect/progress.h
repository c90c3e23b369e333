// progress.h: the progress update both runs call after every block.  It
// hands the position to the progress window only every few hundred KiB, so
// the call costs a comparison.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace ovalith {

class Progress {
 public:
  explicit Progress(Platform& platform) : platform_(platform) {}

  void Update(std::uint64_t position) {
    if (position >= next_) Report(position);
  }

 private:
  static constexpr std::uint64_t kStep = 256 * 1024;

  void Report(std::uint64_t position) {
    platform_.ProgressSetValue(position);
    next_ = position + kStep;
  }

  Platform& platform_;
  std::uint64_t next_ = 0;
};

}  // namespace ovalith
