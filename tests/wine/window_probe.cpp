// window_probe.cpp: tells the tests under Wine, from inside Windows, when a
// window is ready for keys: shown, enabled, active, with the keyboard focus
// inside it.  The X side sees none of these states, and keys sent to a
// window that is still disabled (a message box just closed) are lost.
//   ovalith_window_probe TITLE SECONDS
// Exits 0 once the top-level window titled exactly TITLE is ready; exits 1
// after SECONDS, printing what it last saw.
//   ovalith_window_probe --text TITLE
// Prints the texts of the window's labels (a message box's message), one
// a line.
//   ovalith_window_probe --where TITLE TEXT
// Prints the screen position "x y" of the middle of the window's control
// showing TEXT.
//   ovalith_window_probe --tip -
// Prints the text of the tooltip that is shown.
//   ovalith_window_probe --layout TITLE
// Prints, for each visible password box, the name a screen reader gives it
// (the label right before it in tab and z order), and each caption that
// does not fit its control in the control's font; exits 1 on either fault.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <cwctype>
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

HWND FindTitled(const wchar_t* title) {
  Search search{title, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring Text(HWND window) {
  wchar_t text[1024];
  int length = GetWindowTextW(window, text, static_cast<int>(std::size(text)));
  return std::wstring(text, static_cast<std::size_t>(std::max(length, 0)));
}

std::wstring Kind(HWND window) {
  wchar_t kind[64];
  int length = GetClassNameW(window, kind, static_cast<int>(std::size(kind)));
  std::wstring name(kind, static_cast<std::size_t>(std::max(length, 0)));
  for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
  return name;
}

void PrintLine(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(),
                                 static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                      bytes.data(), size, nullptr, nullptr);
  std::printf("%s\n", bytes.c_str());
}

int PrintLabels(HWND window) {
  for (HWND child = GetWindow(window, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (Kind(child) == L"STATIC" && !Text(child).empty())
      PrintLine(Text(child));
  }
  return 0;
}

// The system's dialog font, which the program's windows use.  (Their own
// font handle means nothing in this process.)
HFONT DialogFont() {
  static const HFONT font = [] {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return CreateFontIndirectW(&metrics.lfMessageFont);
  }();
  return font;
}

// Whether the control's caption fits it in the dialog font.
bool Fits(HWND control, std::wstring* why) {
  std::wstring text = Text(control);
  if (text.empty()) return true;
  RECT room;
  GetClientRect(control, &room);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, DialogFont());
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // A push button draws its caption inside a frame and a focus rectangle.
  const LONG margin = Kind(control) == L"BUTTON" ? 8 : 0;
  if (size.cx + margin <= room.right && size.cy <= room.bottom) return true;
  *why = L"clipped: \"" + text + L"\" needs " + std::to_wstring(size.cx) +
         L"x" + std::to_wstring(size.cy) + L", has " +
         std::to_wstring(room.right) + L"x" + std::to_wstring(room.bottom);
  return false;
}

int CheckLayout(HWND window) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, DialogFont());
  wchar_t face[LF_FACESIZE] = L"";
  GetTextFaceW(dc, LF_FACESIZE, face);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  PrintLine(L"dialog font: " + std::wstring(face) + L", lines of " +
            std::to_wstring(metrics.tmHeight) + L" px");
  int faults = 0;
  HWND label = nullptr;
  for (HWND child = GetWindow(window, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const std::wstring kind = Kind(child);
    std::wstring why;
    if (kind == L"EDIT") {
      if (!label) ++faults;
      PrintLine(L"box named: " + (label ? Text(label) : L"(nothing)"));
      label = nullptr;
      continue;
    }
    if (!Fits(child, &why)) {
      PrintLine(why);
      ++faults;
    }
    label = kind == L"STATIC" ? child : nullptr;
  }
  return faults == 0 ? 0 : 1;
}

BOOL CALLBACK FindTip(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && Kind(window) == L"TOOLTIPS_CLASS32") {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

int PrintWhere(HWND window, const wchar_t* text) {
  for (HWND child = GetWindow(window, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (Text(child) != text) continue;
    RECT place;
    GetWindowRect(child, &place);
    std::printf("%ld %ld\n", (place.left + place.right) / 2,
                (place.top + place.bottom) / 2);
    return 0;
  }
  std::printf("no control shows that text\n");
  return 1;
}

int PrintTip() {
  HWND tip = nullptr;
  EnumWindows(FindTip, reinterpret_cast<LPARAM>(&tip));
  if (!tip) {
    std::printf("no tooltip shown\n");
    return 1;
  }
  // The tip's text is its window text; another process asks for it.
  std::wstring text(4096, L'\0');
  DWORD_PTR length = 0;
  SendMessageTimeoutW(tip, WM_GETTEXT, text.size(),
                      reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      5000, &length);
  text.resize(length);
  PrintLine(text);
  return 0;
}

}  // namespace

int main() {
  // Sizes as the DPI-aware program sees them.
  SetProcessDPIAware();
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv && argc == 3 && std::wcscmp(argv[1], L"--tip") == 0)
    return PrintTip();
  if (argv && argc == 4 && std::wcscmp(argv[1], L"--where") == 0) {
    HWND window = FindTitled(argv[2]);
    return window ? PrintWhere(window, argv[3]) : 1;
  }
  if (argv && argc == 3 && argv[1][0] == L'-') {
    HWND window = FindTitled(argv[2]);
    if (!window) {
      std::printf("no visible window of that title\n");
      return 1;
    }
    if (std::wcscmp(argv[1], L"--text") == 0) return PrintLabels(window);
    if (std::wcscmp(argv[1], L"--layout") == 0) return CheckLayout(window);
  }
  if (!argv || argc != 3) {
    std::fputs(
        "usage: ovalith_window_probe TITLE SECONDS | --text TITLE | "
        "--layout TITLE\n",
        stderr);
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
