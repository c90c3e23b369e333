// progress_window.h: the progress window, a caption, for a set of files a
// line saying which one is being done, and a common-controls bar; created
// on first use and kept painted during a long run.  Closing it or Escape
// asks the run to stop.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32/windows_api.h"

namespace ovalith::win32 {

class ProgressWindow {
 public:
  explicit ProgressWindow(HINSTANCE instance) : instance_(instance) {}
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  void Show(const std::wstring& caption);
  // "2 of 5: report.txt"; the window grows a line for it on first use.
  void SetStep(const std::wstring& step);
  void SetMax(std::uint64_t max);
  // Called after every few blocks: touches the bar only when its position
  // moves, and lets waiting paint messages through a few times a second.
  void SetValue(std::uint64_t value);
  void Hide();
  void Destroy();
  // Processes what is waiting for the window (the close box, Escape);
  // true once the user asked to stop.
  bool StopRequested();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam);
  void Create();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND bar_ = nullptr;
  HWND step_ = nullptr;
  // The bar counts in units of 2^shift_ bytes, so its range stays within
  // what the control holds for any file size.
  int shift_ = 0;
  std::int64_t position_ = -1;
  ULONGLONG last_paint_ = 0;
  bool stop_ = false;
};

}  // namespace ovalith::win32
