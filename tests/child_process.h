// child_process.h: runs the built program as a user would, in a directory
// of the test's choosing, with its standard input fed from a text and its
// output captured; optionally as another user, under extra environment
// variables, or killed at a chosen moment.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace ovalith::test {

struct ChildOptions {
  std::string cwd = ".";
  std::string input;                   // standard input, then end of input
  std::vector<std::string> env;        // "NAME=value", added to ours
  uid_t uid = static_cast<uid_t>(-1);  // run as this user when set
  gid_t gid = static_cast<gid_t>(-1);
  mode_t umask = 022;
  rlim_t file_size_limit = RLIM_INFINITY;  // bytes, as ulimit -f sets it
  bool stderr_reader_gone = false;         // standard error a pipe nobody reads
  double timeout_seconds = 60;
};

struct ChildResult {
  int status = -1;  // exit status, -1 when it did not exit
  int signal = 0;   // the signal that ended it
  bool timed_out = false;
  std::string out, err;
};

class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& argv,
               const ChildOptions& options);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  void Kill(int signal);
  // Collects output until the child ends or the timeout passes; a child
  // still running then is killed.
  ChildResult Wait();

 private:
  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  double timeout_;
  bool waited_ = false;
};

// Runs to the end.
ChildResult RunChild(const std::vector<std::string>& argv,
                     const ChildOptions& options = {});

// The built program and the fault library, as CMake placed them.
std::string ProgramPath();
std::string FaultLibraryPath();

// The usage message's six lines as the program writes them to stderr.
extern const char kUsageLines[];

}  // namespace ovalith::test
