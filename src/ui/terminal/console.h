// console.h: what the terminal program needs from the terminal or console it
// runs on: lines and keys in, text out, and the user's request to stop.  The
// form, the questions and the progress line are written once against it;
// the POSIX terminal and the Windows console each implement it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace ovalith {

struct Key {
  enum Kind {
    kText,  // typed text (one character, or one byte of it), in text
    kEnter,
    kBackspace,
    kEscape,
    kInterrupt,  // Ctrl-C
    kEndOfFile,  // Ctrl-D (Ctrl-Z on Windows)
    kKillLine,   // Ctrl-U
    kSuspend,    // Ctrl-Z on POSIX
    kNext,       // Tab, Down
    kPrevious,   // Shift-Tab, Up
    kIgnored,    // other control keys and escape sequences
    kClosed,     // the terminal is gone, or a stop was requested
  };
  Kind kind;
  std::string text = {};
};

// Text written to the screen is UTF-8 with these controls only: "\n", "\r",
// ESC [ n A (up), ESC [ n B (down), ESC [ K (clear to the end of the line),
// ESC [ 1 m (bold) and ESC [ 0 m (normal).
class Console {
 public:
  virtual ~Console() = default;

  // Standard input is the terminal: keys are read from it, not lines.
  virtual bool InputIsTerminal() const = 0;
  // One line of standard input without its line end; none at its end.
  virtual std::optional<std::string> ReadLine() = 0;

  // Between these two, keys arrive one at a time and are not shown.
  virtual void BeginKeys() = 0;
  virtual void EndKeys() = 0;
  virtual Key ReadKey() = 0;
  // Ctrl-Z: the process stops until it is continued (keys mode is left
  // meanwhile).  Consoles without job control do nothing.
  virtual void Suspend() {}

  // Messages: standard error.
  virtual void WriteError(const std::string& text) = 0;
  // The main window and the answers typed to questions: standard error, or
  // the terminal itself when standard error goes elsewhere.
  virtual void WriteWindow(const std::string& text) = 0;
  virtual bool WindowIsError() const = 0;
  virtual std::size_t WindowWidth() = 0;
  // The progress line is drawn on standard error only when it is a
  // terminal.
  virtual bool ErrorIsTerminal() const = 0;
  virtual std::size_t ErrorWidth() = 0;
  // A progress line is on the screen and ends unfinished (no "\n") or not:
  // whoever ends the process early must end the line.
  virtual void ProgressLineOpen(bool) {}
  // What --help and --version print: standard output.
  virtual void WriteOutput(const std::string& text) = 0;

  // While on (a run), Ctrl-C asks the run to stop; off, it ends the
  // program as it always did.
  virtual void StopOnInterrupt(bool) {}
  // The user asked to stop (Ctrl-C during a run, the console closed).
  virtual bool StopRequested() { return false; }
};

// While alive, keys come one at a time.
class KeysMode {
 public:
  explicit KeysMode(Console& console) : console_(console) {
    console_.BeginKeys();
  }
  ~KeysMode() { console_.EndKeys(); }
  KeysMode(const KeysMode&) = delete;
  KeysMode& operator=(const KeysMode&) = delete;

 private:
  Console& console_;
};

}  // namespace ovalith
