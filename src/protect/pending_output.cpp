#include "protect/pending_output.h"

#include "protect/container.h"

namespace ovalith {

PendingOutput::PendingOutput(Platform& platform, std::string final_name)
    : platform_(platform), final_name_(std::move(final_name)) {
  if (platform_.IsDirectory(final_name_))
    throw Failure(EscapeName(final_name_) + ": is a directory");
  file_ = platform_.CreateTemporary(final_name_, temp_name_);
}

PendingOutput::~PendingOutput() {
  if (committed_) return;
  file_.reset();
  platform_.RemoveFile(temp_name_);
}

void PendingOutput::Commit() {
  file_->Close();
  platform_.ReplaceFile(temp_name_, final_name_);
  committed_ = true;
}

}  // namespace ovalith
