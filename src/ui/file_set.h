// file_set.h: the files of a command line that named several, and what
// became of each.  Each is done on its own; one that cannot be done is
// reported at the end and the others go on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ovalith {

enum class FileResult {
  kPending,   // not reached (yet)
  kDone,      // its output is in place
  kFailed,    // it could not be done: why says what went wrong
  kDeclined,  // the user kept an existing output
  kStopped,   // the user stopped the set while or before it was done
};

struct SetFile {
  std::string given;      // as the command line named it, for messages
  std::string path;       // absolute
  std::string directory;  // entered before its run
  std::string listed;     // its listed name
  bool decrypt = false;   // a container, by its own name
  std::uint64_t size = 0;
  FileResult result = FileResult::kPending;
  std::string why;
};

// "report.txt and 4 more": what the file label shows of a set.
std::string SetLabel(const std::vector<SetFile>& files);

// Every file of the set, one name a line: the whole list behind the label.
std::string SetDetails(const std::vector<SetFile>& files);

// The lines of the end's summary, one for each file that was not done,
// under a line saying how many; empty when every file was done.
std::string SetSummary(const std::vector<SetFile>& files);

// 0 when every file was done, 1 when one failed, else 2 (declined or
// stopped).
int SetStatus(const std::vector<SetFile>& files);

}  // namespace ovalith
