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
};

}  // namespace ovalith
