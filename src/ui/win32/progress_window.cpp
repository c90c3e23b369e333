#include "ui/win32/progress_window.h"

#include <commctrl.h>

#include "platform/failure.h"
#include "platform/win32/wide_text.h"
#include "ui/win32/dialog_frame.h"
#include "ui/win32/progress_scale.h"

namespace ovalith::win32 {

namespace {

const wchar_t kClassName[] = L"OvalithProgress";
const ULONGLONG kPaintInterval = 200;  // milliseconds

}  // namespace

ProgressWindow::~ProgressWindow() { Destroy(); }

void ProgressWindow::Create() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  if (!InitCommonControlsEx(&controls))
    throw Failure("the common controls could not be initialised");
  window_ = DialogFrame::Create(instance_, kClassName, Procedure, L"", 3120,
                                720, this);
  bar_ = DialogFrame::AddControl(window_, PROGRESS_CLASSW, L"", 0, 0, 1,
                                 {120, 240, 2895, 255});
}

void ProgressWindow::Show(const std::wstring& caption) {
  if (!window_) Create();
  SetWindowTextW(window_, caption.c_str());
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

void ProgressWindow::SetMax(std::uint64_t max) {
  if (!window_) Create();
  shift_ = ProgressShift(max);
  SendMessageW(bar_, PBM_SETRANGE32, 0,
               static_cast<LPARAM>(static_cast<int>(max >> shift_)));
  position_ = -1;
}

void ProgressWindow::SetValue(std::uint64_t value) {
  if (!window_) return;
  auto position = static_cast<std::int64_t>(value >> shift_);
  if (position != position_) {
    position_ = position;
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }
  // Only paint messages: no input may be acted on during a run, yet
  // Windows must see the windows answer.
  ULONGLONG now = GetTickCount64();
  if (now - last_paint_ < kPaintInterval) return;
  last_paint_ = now;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
    DispatchMessageW(&msg);
}

void ProgressWindow::Hide() {
  if (window_) ShowWindow(window_, SW_HIDE);
}

void ProgressWindow::Destroy() {
  if (!window_) return;
  HWND window = window_;
  window_ = bar_ = nullptr;
  DestroyWindow(window);
}

LRESULT CALLBACK ProgressWindow::Procedure(HWND window, UINT message,
                                           WPARAM wparam, LPARAM lparam) {
  DialogFrame::UserData(window, message, lparam);
  // A run cannot be interrupted: the close box does nothing.
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace ovalith::win32
