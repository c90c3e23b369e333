#include "ui/win32/win32_view.h"

#include "platform/win32/wide_text.h"

namespace ovalith::win32 {

namespace {

bool IsPasswordBox(Control control) {
  return control == Control::txtPW1 || control == Control::txtPW2;
}

}  // namespace

Win32View::Win32View(HINSTANCE instance)
    : main_(instance), progress_(instance) {}

void Win32View::SetText(Control control, const std::string& text) {
  main_.SetText(control,
                IsPasswordBox(control) ? WidenCodePage(text) : Widen(text));
}

std::string Win32View::GetText(Control control) {
  std::wstring text = main_.GetText(control);
  return IsPasswordBox(control) ? NarrowCodePage(text) : Narrow(text);
}

void Win32View::SetVisible(Control control, bool visible) {
  main_.SetVisible(control, visible);
}

void Win32View::SetMainEnabled(bool enabled) { main_.SetEnabled(enabled); }

MainEvent Win32View::WaitForMainEvent() { return main_.Wait(); }

void Win32View::UnloadWindows() {
  progress_.Destroy();
  main_.Destroy();
}

Answer Win32View::MessageBox(const std::string& text, Icon icon) {
  UINT type = MB_SETFOREGROUND;
  switch (icon) {
    case Icon::Information:
      type |= MB_OK | MB_ICONINFORMATION;
      break;
    case Icon::Exclamation:
      type |= MB_OK | MB_ICONEXCLAMATION;
      break;
    case Icon::Question:
      type |= MB_YESNO | MB_ICONQUESTION;
      break;
  }
  int answer =
      MessageBoxW(main_.handle(), Widen(text).c_str(), L"Ovalith", type);
  if (icon != Icon::Question) return Answer::Ok;
  return answer == IDYES ? Answer::Yes : Answer::No;
}

void Win32View::ShowUsage(const std::string& text, const std::string& cause) {
  // The box keeps the usage text alone; the cause is for whoever started
  // the program from a console or a script.
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error && error != INVALID_HANDLE_VALUE) {
    std::string line = "ovalith: " + cause + "\r\n";
    DWORD written;
    WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written,
              nullptr);
  }
  MessageBox(text, Icon::Exclamation);
}

void Win32View::ProgressShow(const std::string& caption) {
  progress_.Show(Widen(caption));
}

void Win32View::ProgressSetMax(std::uint64_t max) { progress_.SetMax(max); }

void Win32View::ProgressSetValue(std::uint64_t value) {
  progress_.SetValue(value);
}

void Win32View::ProgressHide() { progress_.Hide(); }

void Win32View::ProcessPendingEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (!main_.HandleDialogKeys(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace ovalith::win32
