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

// In twips: the window, its bar, and the line above the bar for a set.
const int kWidth = 3120;
const int kHeight = 720;
const TwipsRect kBar = {120, 240, 2895, 255};
const TwipsRect kStep = {120, 150, 2895, 255};
const int kStepHeight = 360;

}  // namespace

ProgressWindow::~ProgressWindow() { Destroy(); }

void ProgressWindow::Create() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  if (!InitCommonControlsEx(&controls))
    throw Failure("the common controls could not be initialised");
  window_ = DialogFrame::Create(instance_, kClassName, Procedure, L"", kWidth,
                                kHeight, this);
  bar_ = DialogFrame::AddControl(window_, PROGRESS_CLASSW, L"", 0, 0, 1, kBar);
  step_ = nullptr;
}

void ProgressWindow::SetStep(const std::wstring& step) {
  if (!window_) Create();
  if (!step_) {
    step_ = DialogFrame::AddControl(
        window_, L"STATIC", L"",
        SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_PATHELLIPSIS, 0, 2, kStep);
    TwipsRect bar = kBar;
    bar.top += kStepHeight;
    DialogFrame::Place(bar_, bar);
    DialogFrame::Resize(window_, kWidth, kHeight + kStepHeight);
  }
  SetWindowTextW(step_, step.c_str());
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
  window_ = bar_ = step_ = nullptr;
  DestroyWindow(window);
}

bool ProgressWindow::StopRequested() {
  // Every message: the main window is disabled during a run, so the only
  // input acted on is this window's close box and Escape.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      stop_ = true;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return stop_;
}

LRESULT CALLBACK ProgressWindow::Procedure(HWND window, UINT message,
                                           WPARAM wparam, LPARAM lparam) {
  auto* self = static_cast<ProgressWindow*>(
      DialogFrame::UserData(window, message, lparam));
  const bool escape = message == WM_KEYDOWN && wparam == VK_ESCAPE;
  if (self && (message == WM_CLOSE || escape)) {
    // The run sees it at its next poll and stops cleanly; the window goes
    // with the others.
    self->stop_ = true;
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace ovalith::win32
