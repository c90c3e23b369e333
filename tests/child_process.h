// child_process.h: runs the built program as a user would, in a directory
// of the test's choosing, with its standard input fed from a text and its
// output captured; optionally as another user, under extra environment
// variables, or killed at a chosen moment.  TerminalChild runs it on a
// pseudo-terminal instead, for the keys a user types at one.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>
#include <termios.h>

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

// The program on the slave side of a pseudo-terminal of 80 x 24; the test
// keeps the slave open too, to look at its settings.  Waits are bounded;
// a wait that runs out is a test failure that shows the output so far.
class TerminalChild {
 public:
  TerminalChild(const std::string& dir, std::vector<std::string> args);
  ~TerminalChild();
  TerminalChild(const TerminalChild&) = delete;
  TerminalChild& operator=(const TerminalChild&) = delete;

  void Type(const std::string& keys);
  // Waits until text appears in the output at or after from; returns the
  // position just behind it, or npos.
  std::size_t WaitFor(const std::string& text, std::size_t from = 0);
  // Waits for the end; the raw wait status, -1 when it did not end.
  int Wait();
  int ExitStatus();
  // The terminal's settings now, against those it had before the start.
  void ExpectSettingsRestored();

  pid_t pid() const { return pid_; }
  const std::string& output() const { return output_; }

 private:
  // Reads what comes within ms: bytes read, 0 for none, -1 once the
  // program's side is gone.
  ssize_t Pump(int ms);

  int master_ = -1;
  int slave_ = -1;
  pid_t pid_ = -1;
  bool exited_ = false;
  termios initial_{};
  std::string output_;
};

// Runs to the end.
ChildResult RunChild(const std::vector<std::string>& argv,
                     const ChildOptions& options = {});

// Runs the built program with these arguments to the end.
ChildResult RunOvalith(const std::vector<std::string>& args,
                       const ChildOptions& options = {});

// The built program and the fault library, as CMake placed them.
std::string ProgramPath();
std::string FaultLibraryPath();

// The usage message's six lines as the program writes them to stderr.
extern const char kUsageLines[];

}  // namespace ovalith::test
