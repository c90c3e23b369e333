// window_probe.cpp: tells the tests under Wine, from inside Windows, when a
// window is ready for keys: shown, enabled, active, with the keyboard focus
// inside it.  The X side sees none of these states, and keys sent to a
// window that is still disabled (a message box just closed) are lost.
//   ovalith_window_probe TITLE SECONDS
// Exits 0 once the top-level window titled exactly TITLE is ready; exits 1
// after SECONDS, printing what it last saw.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>

namespace {

struct Search {
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  wchar_t title[256];
  if (IsWindowVisible(window) &&
      GetWindowTextW(window, title, static_cast<int>(std::size(title))) > 0 &&
      std::wcscmp(title, search->title) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Empty when ready, else what is missing.
std::string Missing(const wchar_t* title) {
  Search search{title, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  HWND window = search.found;
  if (!window) return "no visible window of that title";
  if (!IsWindowEnabled(window)) return "the window is disabled";
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
    return "no thread information";
  if (info.hwndActive != window) return "the window is not active";
  if (!info.hwndFocus ||
      (info.hwndFocus != window && !IsChild(window, info.hwndFocus)))
    return "the keyboard focus is elsewhere";
  if (!IsWindowEnabled(info.hwndFocus))
    return "the focused control is disabled";
  return "";
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 3) {
    std::fputs("usage: ovalith_window_probe TITLE SECONDS\n", stderr);
    return 2;
  }
  const DWORD limit = static_cast<DWORD>(_wtoi(argv[2])) * 1000;
  const DWORD start = GetTickCount();
  for (;;) {
    std::string missing = Missing(argv[1]);
    if (missing.empty()) return 0;
    if (GetTickCount() - start >= limit) {
      std::printf("%s\n", missing.c_str());
      return 1;
    }
    Sleep(20);
  }
}
