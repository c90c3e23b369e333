#include "ui/file_set.h"

#include "protect/container.h"

namespace ovalith {

std::string SetLabel(const std::vector<SetFile>& files) {
  if (files.empty()) return "";
  std::string label = files.front().listed;
  if (files.size() > 1)
    label += " and " + std::to_string(files.size() - 1) + " more";
  return label;
}

std::string SetDetails(const std::vector<SetFile>& files) {
  std::string details;
  for (const SetFile& file : files) {
    if (!details.empty()) details += "\n";
    details += file.listed;
  }
  return details;
}

namespace {

std::string Reason(const SetFile& file) {
  switch (file.result) {
    case FileResult::kFailed:
      return file.why;
    case FileResult::kDeclined:
      return "not done: " + file.why;
    case FileResult::kStopped:
      return "stopped before it was done";
    case FileResult::kPending:
      return "not reached";
    case FileResult::kDone:
      break;
  }
  return "";
}

}  // namespace

std::string SetSummary(const std::vector<SetFile>& files) {
  std::string lines;
  std::size_t not_done = 0;
  for (const SetFile& file : files) {
    if (file.result == FileResult::kDone) continue;
    ++not_done;
    std::string reason = Reason(file);
    // The full path a cause names is the file the line names already.
    const std::string full = EscapeName(file.path) + ": ";
    if (!file.path.empty() && reason.starts_with(full))
      reason.erase(0, full.size());
    // Most causes name their file already.
    const bool named = file.result == FileResult::kFailed &&
                       !file.listed.empty() &&
                       reason.find(file.listed) != std::string::npos;
    lines += "\r\n" + (named ? reason : EscapeName(file.given) + ": " + reason);
  }
  if (not_done == 0) return "";
  return std::to_string(not_done) + " of " + std::to_string(files.size()) +
         (files.size() == 1 ? " file" : " files") +
         (not_done == 1 ? " was" : " were") + " not done:" + lines;
}

int SetStatus(const std::vector<SetFile>& files) {
  int status = 0;
  for (const SetFile& file : files) {
    if (file.result == FileResult::kFailed) return 1;
    if (file.result != FileResult::kDone) status = 2;
  }
  return status;
}

}  // namespace ovalith
