// main_window.h: the main dialog: file name, the two masked password boxes,
// the OK and Cancel buttons, and the wait for one of its events.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/view.h"
#include "platform/win32/windows_api.h"

namespace ovalith::win32 {

class MainWindow {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Null once destroyed.
  HWND handle() const { return window_; }

  void SetText(Control control, const std::wstring& text);
  std::wstring GetText(Control control) const;
  void SetVisible(Control control, bool visible);
  void SetEnabled(bool enabled);

  // Shows the window if hidden and runs its messages until OK, Cancel or
  // the close box.
  MainEvent Wait();
  // Hands the keys that move between controls and press buttons to the
  // window; false when the message is someone else's.
  bool HandleDialogKeys(MSG& msg);
  void Destroy();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  HWND Item(Control control) const;

  HWND window_ = nullptr;
  std::array<HWND, 9> controls_{};
  std::optional<MainEvent> event_;
  HWND saved_focus_ = nullptr;
  bool shown_ = false;
};

}  // namespace ovalith::win32
