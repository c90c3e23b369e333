#include "protect/pending_output.h"

#include <random>

#include "protect/container.h"

namespace ovalith {

namespace {

// Beside the final name, so the rename stays on one file system, and
// recognisably ours: "<final name>.ovalith-partial-XXXXXX".
std::string TemporaryName(const std::string& final_name) {
  static std::mt19937 random{std::random_device{}()};
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string name = final_name + ".ovalith-partial-";
  for (int i = 0; i < 6; ++i) name += kDigits[random() % 36];
  return name;
}

}  // namespace

PendingOutput::PendingOutput(System& system, std::string final_name,
                             const std::string& made_from)
    : system_(system), final_name_(std::move(final_name)) {
  if (system_.IsDirectory(final_name_))
    throw Failure(EscapeName(final_name_) + ": is a directory");
  for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
    temp_name_ = TemporaryName(final_name_);
    Named([&] { file_ = system_.CreateNew(temp_name_); });
  }
  if (!file_)
    throw Failure(EscapeName(final_name_) +
                  ": cannot find a free temporary name");
  try {
    Named([&] { system_.LimitPermissions(temp_name_, made_from); });
  } catch (...) {
    // The destructor of a half-made object does not run.
    file_.reset();
    system_.RemoveFile(temp_name_);
    throw;
  }
}

template <typename Step>
void PendingOutput::Named(Step step) {
  try {
    step();
  } catch (const Failure& failure) {
    std::string cause = failure.what();
    for (std::size_t at = cause.find(temp_name_); at != std::string::npos;
         at = cause.find(temp_name_, at + final_name_.size()))
      cause.replace(at, temp_name_.size(), final_name_);
    throw Failure(cause);
  }
}

void PendingOutput::Write(const std::uint8_t* data, std::size_t n) {
  if (writer_) writer_->Wait();
  Named([&] { file_->Write(data, n); });
}

void PendingOutput::WriteBehind(const std::uint8_t* data, std::size_t n) {
  if (!file_->WritesFromAnyThread()) return Write(data, n);
  if (!writer_) writer_ = std::make_unique<WriterThread>();
  writer_->Start([this, data, n] { Named([&] { file_->Write(data, n); }); });
}

void PendingOutput::Settle() noexcept {
  if (writer_) writer_->WaitQuietly();
}

PendingOutput::~PendingOutput() {
  writer_.reset();
  if (committed_ || !file_) return;
  file_.reset();
  system_.RemoveFile(temp_name_);
}

void PendingOutput::Commit() {
  if (writer_) writer_->Wait();
  Named([&] {
    file_->Close();
    system_.ReplaceFile(temp_name_, final_name_);
  });
  committed_ = true;
}

}  // namespace ovalith
