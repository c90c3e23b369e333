// posix_console.h: the Console of a POSIX terminal: lines and keys from
// standard input, the window on standard error or /dev/tty, escape
// sequences written as they are.
#pragma once

#include <optional>

#include "platform/posix/signal_cleanup.h"
#include "ui/terminal/console.h"
#include "ui/terminal/keyboard.h"

namespace ovalith {

class PosixConsole : public Console {
 public:
  PosixConsole();
  ~PosixConsole() override;
  PosixConsole(const PosixConsole&) = delete;
  PosixConsole& operator=(const PosixConsole&) = delete;

  bool InputIsTerminal() const override { return input_is_terminal_; }
  std::optional<std::string> ReadLine() override;

  void BeginKeys() override { raw_.emplace(0); }
  void EndKeys() override { raw_.reset(); }
  Key ReadKey() override { return ovalith::ReadKey(0); }
  void Suspend() override;

  void WriteError(const std::string& text) override;
  void WriteWindow(const std::string& text) override;
  bool WindowIsError() const override { return window_fd_ == 2; }
  std::size_t WindowWidth() override;
  bool ErrorIsTerminal() const override { return error_is_terminal_; }
  std::size_t ErrorWidth() override;
  void ProgressLineOpen(bool open) override;
  void WriteOutput(const std::string& text) override;

  void StopOnInterrupt(bool on) override { StopOnSignal(on); }
  bool StopRequested() override { return StopWasRequested(); }

 private:
  bool input_is_terminal_;
  bool error_is_terminal_;
  int window_fd_ = 2;  // where the main window is drawn
  bool own_window_fd_ = false;
  std::optional<RawMode> raw_;
};

}  // namespace ovalith
