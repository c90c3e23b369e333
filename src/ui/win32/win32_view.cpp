#include "ui/win32/win32_view.h"

#include "platform/win32/wide_text.h"
#include "ui/win32/file_chooser.h"

namespace ovalith::win32 {

namespace {

// A message as a Windows user reads it (see ShownOnWindows).
std::wstring MessageText(const std::string& text) {
  return Widen(ShownOnWindows(text));
}

}  // namespace

Win32View::Win32View(HINSTANCE instance)
    : main_(instance), progress_(instance) {}

// Every text is UTF-8, passwords included: the core decides which code
// page a password's key is folded in, and refuses what it lacks.
void Win32View::SetText(Control control, const std::string& text) {
  main_.SetText(control, Widen(text));
}

std::string Win32View::GetText(Control control) {
  return Narrow(main_.GetText(control));
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

void Win32View::SetDetails(Control control, const std::string& text) {
  main_.SetDetails(control, Widen(text));
}

std::vector<std::string> Win32View::ChooseFiles() {
  std::vector<std::string> paths;
  for (const std::wstring& path : win32::ChooseFiles(main_.handle()))
    paths.push_back(Narrow(path));
  return paths;
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
      // Enter never replaces a file.
      type |= MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
      break;
  }
  int answer =
      MessageBoxW(main_.handle(), MessageText(text).c_str(), L"Ovalith", type);
  if (icon != Icon::Question) return Answer::Ok;
  return answer == IDYES ? Answer::Yes : Answer::No;
}

Answer Win32View::AskInSet(const std::string& text) {
  int answer = MessageBoxW(
      main_.handle(), MessageText(text).c_str(), L"Ovalith",
      MB_SETFOREGROUND | MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
  if (answer == IDYES) return Answer::Yes;
  return answer == IDNO ? Answer::No : Answer::Cancel;
}

void Win32View::ShowUsage(const std::string& text, const std::string& cause) {
  // The cause ends the box, and goes to whoever started the program from
  // a console or a script.
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error && error != INVALID_HANDLE_VALUE) {
    std::string line = "ovalith: " + cause + "\r\n";
    DWORD written;
    WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written,
              nullptr);
  }
  MessageBox(cause.empty() ? text : text + "\r\n\r\n" + cause,
             Icon::Exclamation);
}

void Win32View::ProgressShow(const std::string& caption) {
  progress_.Show(Widen(caption));
}

void Win32View::ProgressSetMax(std::uint64_t max) { progress_.SetMax(max); }

void Win32View::ProgressSetValue(std::uint64_t value) {
  progress_.SetValue(value);
}

void Win32View::ProgressHide() { progress_.Hide(); }

void Win32View::ProgressSetStep(const std::string& step) {
  progress_.SetStep(Widen(step));
}

bool Win32View::StopRequested() { return progress_.StopRequested(); }

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
