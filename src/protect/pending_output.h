// pending_output.h: the output file of a run.  It is written under a
// temporary name beside its final one and put in place only by Commit, when
// complete; destroyed without Commit, it removes the temporary file.  So a
// failed run leaves nothing partial, and a file of the final name is either
// untouched or replaced by a complete one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/system.h"
#include "protect/writer_thread.h"

namespace ovalith {

class PendingOutput {
 public:
  // A directory of the final name is a Failure before anything is written.
  // The new file gets no permission its input (made_from) lacks.
  PendingOutput(System& system, std::string final_name,
                const std::string& made_from);
  ~PendingOutput();
  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;

  void Write(const std::uint8_t* data, std::size_t n);
  // Writes data on a second thread, where the file may be written from one,
  // while the caller goes on; data must stay unchanged until the next call
  // of Write, WriteBehind, Settle or Commit, which throws a failure of it.
  void WriteBehind(const std::uint8_t* data, std::size_t n);
  // Waits for a write behind; its failure is kept for the next call.
  void Settle() noexcept;
  void Commit();

 private:
  // Runs step; a Failure from it names the final name instead.
  template <typename Step>
  void Named(Step step);

  System& system_;
  std::string final_name_;
  std::string temp_name_;
  std::unique_ptr<OutputFile> file_;
  bool committed_ = false;
  // Started by the first write behind; the destructor ends it before the
  // temporary file is removed.
  std::unique_ptr<WriterThread> writer_;
};

}  // namespace ovalith
