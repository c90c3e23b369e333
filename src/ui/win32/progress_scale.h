// progress_scale.h: how byte counts map onto the progress bar, whose range
// is an int, for files of any size.
#pragma once

#include <cstdint>

namespace ovalith::win32 {

// The largest bar position used.
inline constexpr std::uint64_t kMaxBarUnits = 0xFFFF;

// The bar counts in units of 2^shift bytes, the smallest shift that keeps
// max within kMaxBarUnits.
inline int ProgressShift(std::uint64_t max) {
  int shift = 0;
  while ((max >> shift) > kMaxBarUnits) ++shift;
  return shift;
}

}  // namespace ovalith::win32
