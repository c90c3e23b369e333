// main_window.h: the main dialog: file name, the two masked password boxes,
// the OK and Cancel buttons, and the wait for one of its events.  Laid out
// in twips, grown as a whole when the dialog font needs more room.
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
  // The text shown when the pointer rests on the control (lines apart).
  void SetDetails(Control control, const std::wstring& text);

  // Shows the window if hidden and runs its messages until OK, Cancel or
  // the close box.  Shown again after a refused run, it has the first
  // password box focused and both boxes' text selected, so that typing
  // replaces it.
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
  void ShowFileName();
  void UpdateTip();
  void ReadyForRetyping();

  HWND window_ = nullptr;
  HWND tip_ = nullptr;
  std::array<HWND, 9> controls_{};
  // The file name as the core set it; the label may show it elided.
  std::wstring file_name_;
  std::wstring details_;
  std::optional<MainEvent> event_;
  HWND saved_focus_ = nullptr;
  bool shown_ = false;
};

}  // namespace ovalith::win32
