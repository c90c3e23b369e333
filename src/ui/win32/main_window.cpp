#include "ui/win32/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

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

// Labels clip rather than wrap, should a caption still outgrow its room.
const DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
const DWORD kPasswordBox = WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL;

// Created in this order, which is the tab order.  Each password box comes
// right after its label: screen readers name a box after the label before
// it.
const ControlLayout kLayout[] = {
    {Control::Label1,
     L"STATIC",
     L"File :",
     kLabel,
     0,
     -1,
     {120, 120, 375, 255}},
    {Control::lblFile,
     L"STATIC",
     L"Filename",
     kLabel | SS_NOTIFY,  // for its tooltip
     0,
     -1,
     {600, 120, 2655, 255}},
    {Control::lblPW1,
     L"STATIC",
     L"Enter password :",
     kLabel,
     0,
     -1,
     {120, 480, 1335, 255}},
    {Control::txtPW1,
     L"EDIT",
     L"",
     kPasswordBox,
     WS_EX_CLIENTEDGE,
     101,
     {1920, 480, 1335, 285}},
    {Control::lblPW2,
     L"STATIC",
     L"Enter password again :",
     kLabel,
     0,
     -1,
     {120, 840, 1695, 255}},
    {Control::txtPW2,
     L"EDIT",
     L"",
     kPasswordBox,
     WS_EX_CLIENTEDGE,
     102,
     {1920, 840, 1335, 285}},
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
const int kClientWidth = 3330;
const int kClientHeight = 1770;
// Every caption the OK button takes.
const wchar_t* const kOkCaptions[] = {L"Encrypt", L"Decrypt", L"OK"};
// At most this many names in the tooltip of a set.
const int kTipLines = 40;

// How much the whole layout must grow for every caption to fit in the
// dialog font: 1 when it fits as drawn.
double LayoutScale() {
  const int line = DialogFrame::LineHeight();
  const int dpi_x = DialogFrame::DpiX();
  const int dpi_y = DialogFrame::DpiY();
  // Room a control needs around its text, in pixels at this DPI.
  const int edit_frame = MulDiv(6, dpi_y, 96);
  const int button_margin = MulDiv(16, dpi_x, 96);
  double scale = 1.0;
  const auto need = [&scale](int pixels, int twips, int dpi) {
    scale = std::max(scale,
                     static_cast<double>(pixels) / TwipsToPixels(twips, dpi));
  };
  for (const ControlLayout& layout : kLayout) {
    const std::wstring kind = layout.kind;
    if (kind == L"EDIT") {
      need(line + edit_frame, layout.place.height, dpi_y);
      continue;
    }
    std::vector<std::wstring> captions{layout.text};
    if (layout.control == Control::cmdOK)
      captions.assign(std::begin(kOkCaptions), std::end(kOkCaptions));
    const int margin = kind == L"BUTTON" ? button_margin : 1;
    for (const std::wstring& caption : captions) {
      // The file's label elides what does not fit.
      if (layout.control != Control::lblFile)
        need(DialogFrame::TextExtent(caption).cx + margin, layout.place.width,
             dpi_x);
    }
    need(kind == L"BUTTON" ? line + line / 2 : line, layout.place.height,
         dpi_y);
  }
  return scale;
}

int Scaled(int twips, double scale) {
  return static_cast<int>(std::ceil(twips * scale));
}

TwipsRect Scaled(TwipsRect place, double scale) {
  return {Scaled(place.left, scale), Scaled(place.top, scale),
          Scaled(place.width, scale), Scaled(place.height, scale)};
}

// The list as the tooltip shows it: one name a line, the end of a long
// list summed up.
std::wstring TipText(const std::wstring& details) {
  std::wstring text;
  int lines = 0;
  std::size_t at = 0;
  while (at <= details.size()) {
    std::size_t end = details.find(L'\n', at);
    if (end == std::wstring::npos) end = details.size();
    if (lines == kTipLines) {
      int rest = 1;
      for (std::size_t i = at; i < details.size(); ++i)
        rest += details[i] == L'\n';
      text += L"\r\n... and " + std::to_wstring(rest) + L" more";
      break;
    }
    if (lines++ > 0) text += L"\r\n";
    text += details.substr(at, end - at);
    at = end + 1;
  }
  return text;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) {
  const double scale = LayoutScale();
  window_ = DialogFrame::Create(instance, kClassName, Procedure, L"Ovalith 2.0",
                                Scaled(kClientWidth, scale),
                                Scaled(kClientHeight, scale), this);
  for (const ControlLayout& layout : kLayout) {
    HWND control = DialogFrame::AddControl(
        window_, layout.kind, layout.text, layout.style, layout.ex_style,
        layout.id, Scaled(layout.place, scale));
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
  if (!window_) return;
  if (control == Control::lblFile) {
    file_name_ = text;
    ShowFileName();
    return;
  }
  SetWindowTextW(Item(control), text.c_str());
}

void MainWindow::ShowFileName() {
  HWND label = Item(Control::lblFile);
  RECT room;
  GetClientRect(label, &room);
  SetWindowTextW(label, DialogFrame::FitText(file_name_, room.right).c_str());
  UpdateTip();
}

void MainWindow::SetDetails(Control control, const std::wstring& text) {
  if (control != Control::lblFile) return;
  details_ = text;
  UpdateTip();
}

void MainWindow::UpdateTip() {
  if (!window_) return;
  HWND label = Item(Control::lblFile);
  // The list of a set, or a name shown elided.
  std::wstring text = TipText(details_);
  if (text.empty() && GetText(Control::lblFile) != file_name_)
    text = file_name_;
  if (!tip_ && text.empty()) return;
  if (!tip_) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, window_, nullptr, nullptr, nullptr);
    if (!tip_) return;  // a name without its tooltip is still usable
    // A width makes it take line breaks.
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
    // Long enough to read a list.
    SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(label);
  tool.lpszText = text.data();
  SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip_, TTM_ACTIVATE, !text.empty(), 0);
}

std::wstring MainWindow::GetText(Control control) const {
  if (!window_) return {};
  if (control == Control::lblFile) return file_name_;
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
  } else {
    ReadyForRetyping();
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

void MainWindow::ReadyForRetyping() {
  for (Control box : {Control::txtPW1, Control::txtPW2})
    SendMessageW(Item(box), EM_SETSEL, 0, -1);
  saved_focus_ = Item(Control::txtPW1);
  if (GetActiveWindow() == window_) SetFocus(saved_focus_);
}

void MainWindow::Destroy() {
  if (!window_) return;
  HWND window = window_;
  window_ = nullptr;
  tip_ = nullptr;  // owned by the window: destroyed with it
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
