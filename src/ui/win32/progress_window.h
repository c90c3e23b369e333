// progress_window.h: the progress window, a caption and a common-controls
// bar, created on first use and kept painted during a long run.
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
  void SetMax(std::uint64_t max);
  // Called after every few blocks: touches the bar only when its position
  // moves, and lets waiting paint messages through a few times a second.
  void SetValue(std::uint64_t value);
  void Hide();
  void Destroy();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam);
  void Create();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND bar_ = nullptr;
  // The bar counts in units of 2^shift_ bytes, so its range stays within
  // what the control holds for any file size.
  int shift_ = 0;
  std::int64_t position_ = -1;
  ULONGLONG last_paint_ = 0;
};

}  // namespace ovalith::win32
