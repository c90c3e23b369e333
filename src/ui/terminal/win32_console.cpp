#include "ui/terminal/win32_console.h"

#include <atomic>

#include "platform/win32/wide_text.h"

namespace ovalith::win32 {

namespace {

// What the console control handler shares with the main thread.
std::atomic<bool> stop_requested{false};
// Set with stop_requested; a key wait ends on it.
HANDLE stop_event = nullptr;
// The thread that reads standard input, and whether it is in a read that
// only the handler can end (a pipe nobody writes to).
HANDLE main_thread = nullptr;
std::atomic<bool> reading_input{false};

BOOL WINAPI OnControl(DWORD type) {
  stop_requested = true;
  SetEvent(stop_event);
  // A blocked read of standard input is cancelled, a read of a file the run
  // works on is not (that would fail the run instead of stopping it).
  for (int i = 0; i < 20 && reading_input; ++i) {
    CancelSynchronousIo(main_thread);
    Sleep(50);
  }
  if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) return TRUE;
  // Closing the console, logging off, shutting down: the process ends
  // when this returns.  The main thread, seeing the stop, removes the
  // output it was writing and ends the process first; Windows waits 5 s.
  WaitForSingleObject(main_thread, 4500);
  return TRUE;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetConsoleMode(handle, &mode) != 0;
}

void WriteBytes(HANDLE handle, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    if (!WriteFile(handle, text.data() + done,
                   static_cast<DWORD>(text.size() - done), &written, nullptr) ||
        written == 0)
      return;  // a reader that has gone is no failure of ours
    done += written;
  }
}

void WriteWide(HANDLE handle, const std::string& utf8) {
  const std::wstring wide = WidenLoosely(utf8);
  DWORD written = 0;
  if (!wide.empty())
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()),
                  &written, nullptr);
}

// The screen's controls (console.h) with the console's own calls: they
// work on every Windows, with or without virtual terminal processing.
void Control(HANDLE handle, int count, char final, WORD normal) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(handle, &info)) return;
  COORD at = info.dwCursorPosition;
  switch (final) {
    case 'A':
      at.Y = static_cast<SHORT>(at.Y > count ? at.Y - count : 0);
      SetConsoleCursorPosition(handle, at);
      break;
    case 'B':
      at.Y = static_cast<SHORT>(
          at.Y + count < info.dwSize.Y ? at.Y + count : info.dwSize.Y - 1);
      SetConsoleCursorPosition(handle, at);
      break;
    case 'K': {
      DWORD done = 0;
      const auto rest = static_cast<DWORD>(info.dwSize.X - at.X);
      FillConsoleOutputCharacterW(handle, L' ', rest, at, &done);
      FillConsoleOutputAttribute(handle, normal, rest, at, &done);
      break;
    }
    case 'm':
      SetConsoleTextAttribute(
          handle, count == 1 ? static_cast<WORD>(normal | FOREGROUND_INTENSITY)
                             : normal);
      break;
    default:
      break;
  }
}

WORD NormalAttributes(HANDLE handle) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(handle, &info))
    return FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE;
  return static_cast<WORD>(info.wAttributes & ~FOREGROUND_INTENSITY);
}

void WriteScreen(HANDLE handle, const std::string& text) {
  const WORD normal = NormalAttributes(handle);
  std::string run;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\x1b' || i + 1 >= text.size() || text[i + 1] != '[') {
      run += text[i];
      continue;
    }
    WriteWide(handle, run);
    run.clear();
    int count = 0;
    bool any = false;
    for (i += 2; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      count = count * 10 + (text[i] - '0');
      any = true;
    }
    if (i >= text.size()) break;
    if (!any && (text[i] == 'A' || text[i] == 'B')) count = 1;
    Control(handle, count, text[i], normal);
  }
  WriteWide(handle, run);
}

std::size_t Width(HANDLE handle) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(handle, &info)) return 80;
  const int shown = info.srWindow.Right - info.srWindow.Left + 1;
  const int width = shown > 0 && shown < info.dwSize.X ? shown : info.dwSize.X;
  return width > 0 ? static_cast<std::size_t>(width) : 80;
}

// A line of redirected input as text: UTF-8 as it stands; anything else
// was written in the console's code page (cmd's echo, type).
std::string LineText(const std::string& bytes) {
  if (bytes.empty() ||
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                          static_cast<int>(bytes.size()), nullptr, 0) > 0)
    return bytes;
  const UINT code_page = GetConsoleCP();
  return Narrow(WidenLoosely(bytes, code_page != 0 ? code_page : CP_OEMCP));
}

}  // namespace

Win32Console::Win32Console()
    : input_(GetStdHandle(STD_INPUT_HANDLE)),
      output_(GetStdHandle(STD_OUTPUT_HANDLE)),
      error_(GetStdHandle(STD_ERROR_HANDLE)),
      window_(error_),
      input_is_console_(IsConsole(input_)),
      error_is_console_(IsConsole(error_)) {
  if (input_is_console_ && !error_is_console_) {
    HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (screen != INVALID_HANDLE_VALUE) {
      window_ = screen;
      own_window_ = true;
    }
  }
  stop_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(),
                  &main_thread, 0, FALSE, DUPLICATE_SAME_ACCESS);
  SetConsoleCtrlHandler(OnControl, TRUE);
}

Win32Console::~Win32Console() {
  EndKeys();
  if (own_window_) CloseHandle(window_);
}

std::optional<std::string> Win32Console::ReadLine() {
  std::string line;
  bool any = false;
  for (;;) {
    if (stop_requested) return std::nullopt;
    char c = 0;
    DWORD n = 0;
    // Byte by byte, so that nothing after the line is consumed.
    reading_input = true;
    const bool ok = ReadFile(input_, &c, 1, &n, nullptr) != 0;
    reading_input = false;
    if (stop_requested) return std::nullopt;
    if (!ok || n == 0) {
      if (!any) return std::nullopt;
      break;
    }
    any = true;
    if (c == '\n') break;
    line += c;
  }
  // Lines end in "\r\n" on Windows.
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return LineText(line);
}

void Win32Console::BeginKeys() {
  if (keys_mode_ || !GetConsoleMode(input_, &saved_input_mode_)) return;
  // Ctrl-C arrives as a key, so that the window decides.
  const DWORD raw = saved_input_mode_ &
                    ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT |
                                        ENABLE_PROCESSED_INPUT);
  keys_mode_ = SetConsoleMode(input_, raw) != 0;
}

void Win32Console::EndKeys() {
  if (!keys_mode_) return;
  SetConsoleMode(input_, saved_input_mode_);
  keys_mode_ = false;
}

Key Win32Console::ReadKey() {
  const HANDLE waits[] = {input_, stop_event};
  for (;;) {
    if (stop_requested ||
        WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
      return {Key::kClosed};
    INPUT_RECORD record;
    DWORD count = 0;
    if (!ReadConsoleInputW(input_, &record, 1, &count)) return {Key::kClosed};
    if (count == 0 || record.EventType != KEY_EVENT) continue;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    const wchar_t c = key.uChar.UnicodeChar;
    // A character typed as Alt and digits comes with Alt's release.
    if (!key.bKeyDown && !(key.wVirtualKeyCode == VK_MENU && c != 0)) continue;
    const bool shift = (key.dwControlKeyState & SHIFT_PRESSED) != 0;
    switch (key.wVirtualKeyCode) {
      case VK_RETURN:
        return {Key::kEnter};
      case VK_BACK:
        return {Key::kBackspace};
      case VK_ESCAPE:
        return {Key::kEscape};
      case VK_TAB:
        return {shift ? Key::kPrevious : Key::kNext};
      case VK_UP:
        return {Key::kPrevious};
      case VK_DOWN:
        return {Key::kNext};
      default:
        break;
    }
    switch (c) {
      case 0x03:
        return {Key::kInterrupt};
      case 0x04:
      case 0x1a:  // Ctrl-Z ends input on Windows
        return {Key::kEndOfFile};
      case 0x15:
        return {Key::kKillLine};
      default:
        break;
    }
    if (c == 0) continue;  // Shift, Ctrl and other keys without text
    if (c < 0x20 || c == 0x7f) return {Key::kIgnored};
    if (c >= 0xd800 && c <= 0xdbff) {
      high_surrogate_ = c;
      continue;
    }
    std::wstring text;
    if (c >= 0xdc00 && c <= 0xdfff) {
      if (high_surrogate_ == 0) continue;
      text += high_surrogate_;
    }
    high_surrogate_ = 0;
    text += c;
    return {Key::kText, Narrow(text)};
  }
}

void Win32Console::WriteError(const std::string& text) {
  if (error_is_console_) {
    WriteScreen(error_, win32::ShownOnWindows(text));
  } else {
    WriteBytes(error_, win32::ShownOnWindows(text));
  }
}

void Win32Console::WriteWindow(const std::string& text) {
  WriteScreen(window_, win32::ShownOnWindows(text));
}

std::size_t Win32Console::WindowWidth() { return Width(window_); }

std::size_t Win32Console::ErrorWidth() { return Width(error_); }

void Win32Console::WriteOutput(const std::string& text) {
  if (IsConsole(output_)) {
    WriteScreen(output_, text);
  } else {
    WriteBytes(output_, text);
  }
}

bool Win32Console::StopRequested() { return stop_requested; }

}  // namespace ovalith::win32
