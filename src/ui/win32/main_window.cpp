#include "ui/win32/main_window.h"

#include "ui/win32/dialog_frame.h"

namespace ovalith::win32 {

namespace {

const wchar_t kClassName[] = L"OvalithMain";

struct ControlLayout {
  Control control;
  const wchar_t* kind;
  const wchar_t* text;
  DWORD style;
  DWORD ex_style;
  int id;
  TwipsRect place;
};

// Labels clip rather than wrap when a large font outgrows their twips.
const DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
const DWORD kPasswordBox = WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL;

// Created in this order, which is the tab order.
const ControlLayout kLayout[] = {
    {Control::Label1,
     L"STATIC",
     L"File :",
     kLabel,
     0,
     -1,
     {120, 120, 375, 255}},
    {Control::lblPW1,
     L"STATIC",
     L"Enter password :",
     kLabel,
     0,
     -1,
     {120, 480, 1335, 255}},
    {Control::lblFile,
     L"STATIC",
     L"Filename",
     kLabel | SS_ENDELLIPSIS,
     0,
     -1,
     {600, 120, 2655, 255}},
    {Control::txtPW1,
     L"EDIT",
     L"",
     kPasswordBox,
     WS_EX_CLIENTEDGE,
     101,
     {1920, 480, 1335, 285}},
    {Control::txtPW2,
     L"EDIT",
     L"",
     kPasswordBox,
     WS_EX_CLIENTEDGE,
     102,
     {1920, 840, 1335, 285}},
    {Control::lblPW2,
     L"STATIC",
     L"Enter password again :",
     kLabel,
     0,
     -1,
     {120, 840, 1695, 255}},
    {Control::cmdOK,
     L"BUTTON",
     L"Encrypt",
     WS_TABSTOP | BS_DEFPUSHBUTTON,
     0,
     IDOK,
     {480, 1320, 1335, 375}},
    {Control::cmdCancel,
     L"BUTTON",
     L"Cancel",
     WS_TABSTOP | BS_PUSHBUTTON,
     0,
     IDCANCEL,
     {1920, 1320, 1335, 375}},
};

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) {
  window_ = DialogFrame::Create(instance, kClassName, Procedure, L"Ovalith 2.0",
                                3330, 1770, this);
  for (const ControlLayout& layout : kLayout) {
    HWND control =
        DialogFrame::AddControl(window_, layout.kind, layout.text, layout.style,
                                layout.ex_style, layout.id, layout.place);
    controls_[static_cast<std::size_t>(layout.control)] = control;
  }
  // Common controls 6 would mask with a dot.
  for (Control box : {Control::txtPW1, Control::txtPW2})
    SendMessageW(Item(box), EM_SETPASSWORDCHAR, L'*', 0);
}

MainWindow::~MainWindow() { Destroy(); }

HWND MainWindow::Item(Control control) const {
  if (control == Control::frmMain) return window_;
  return controls_[static_cast<std::size_t>(control)];
}

void MainWindow::SetText(Control control, const std::wstring& text) {
  if (window_) SetWindowTextW(Item(control), text.c_str());
}

std::wstring MainWindow::GetText(Control control) const {
  if (!window_) return {};
  HWND item = Item(control);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1,
                    L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

void MainWindow::SetVisible(Control control, bool visible) {
  if (window_) ShowWindow(Item(control), visible ? SW_SHOW : SW_HIDE);
}

void MainWindow::SetEnabled(bool enabled) {
  if (window_) EnableWindow(window_, enabled);
}

bool MainWindow::HandleDialogKeys(MSG& msg) {
  return window_ && IsDialogMessageW(window_, &msg);
}

MainEvent MainWindow::Wait() {
  if (!window_) return MainEvent::Close;
  if (!shown_) {
    ShowWindow(window_, SW_SHOW);
    shown_ = true;
  }
  // After a refused run the progress window may hold the activation.
  if (IsWindowEnabled(window_)) SetForegroundWindow(window_);
  event_.reset();
  MSG msg;
  while (!event_) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      return MainEvent::Close;
    }
    if (!HandleDialogKeys(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return *event_;
}

void MainWindow::Destroy() {
  if (!window_) return;
  HWND window = window_;
  window_ = nullptr;
  DestroyWindow(window);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wparam,
                                       LPARAM lparam) {
  auto* self =
      static_cast<MainWindow*>(DialogFrame::UserData(window, message, lparam));
  if (!self || !self->window_)
    return DefWindowProcW(window, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        if (LOWORD(wparam) == IDOK) event_ = MainEvent::Ok;
        if (LOWORD(wparam) == IDCANCEL) event_ = MainEvent::Cancel;
      }
      return 0;
    case WM_CLOSE:
      event_ = MainEvent::Close;
      return 0;
    case WM_ACTIVATE:
      // As a dialog does: the focus leaves with the activation and comes
      // back to the same control, at first the first password box.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) saved_focus_ = focus;
      } else {
        HWND focus = saved_focus_;
        if (!focus || !IsWindowVisible(focus) || !IsWindowEnabled(focus))
          focus = Item(Control::txtPW1);
        SetFocus(focus);
      }
      return 0;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

}  // namespace ovalith::win32
