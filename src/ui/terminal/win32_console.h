// win32_console.h: the Console of a Windows console program: keys through
// ReadConsoleInputW, text through WriteConsoleW (names and passwords beyond
// the 8-bit code page), the screen's few controls done with the console's
// cursor calls, lines from redirected input, and Ctrl-C, Ctrl-Break and
// closing the console turned into a stop request.
#pragma once

#include "platform/win32/windows_api.h"
#include "ui/terminal/console.h"

namespace ovalith::win32 {

class Win32Console : public Console {
 public:
  // Installs the console control handler.
  Win32Console();
  ~Win32Console() override;
  Win32Console(const Win32Console&) = delete;
  Win32Console& operator=(const Win32Console&) = delete;

  bool InputIsTerminal() const override { return input_is_console_; }
  std::optional<std::string> ReadLine() override;

  void BeginKeys() override;
  void EndKeys() override;
  Key ReadKey() override;

  void WriteError(const std::string& text) override;
  void WriteWindow(const std::string& text) override;
  bool WindowIsError() const override { return window_ == error_; }
  std::size_t WindowWidth() override;
  bool ErrorIsTerminal() const override { return error_is_console_; }
  std::size_t ErrorWidth() override;
  void WriteOutput(const std::string& text) override;

  bool StopRequested() override;

 private:
  HANDLE input_;
  HANDLE output_;
  HANDLE error_;
  HANDLE window_;  // standard error, or the console itself (CONOUT$)
  bool input_is_console_;
  bool error_is_console_;
  bool own_window_ = false;
  DWORD saved_input_mode_ = 0;
  bool keys_mode_ = false;
  wchar_t high_surrogate_ = 0;
};

}  // namespace ovalith::win32
