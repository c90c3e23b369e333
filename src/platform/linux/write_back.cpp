#include "platform/linux/write_back.h"

#include <fcntl.h>

namespace ovalith {

void StartLinuxWriteBack(int fd, std::uint64_t from, std::uint64_t length) {
  ::sync_file_range(fd, static_cast<off_t>(from), static_cast<off_t>(length),
                    SYNC_FILE_RANGE_WRITE);
}

}  // namespace ovalith
