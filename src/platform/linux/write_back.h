// write_back.h: Linux's hint to start writing a file's dirty pages to disk
// without waiting for them (sync_file_range), so that a final fsync has
// little left to wait for.
#pragma once

#include <cstdint>

namespace ovalith {

// Errors are ignored: it is a hint, and the fsync that follows reports.
void StartLinuxWriteBack(int fd, std::uint64_t from, std::uint64_t length);

}  // namespace ovalith
