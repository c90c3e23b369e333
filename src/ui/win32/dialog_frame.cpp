#include "ui/win32/dialog_frame.h"

#include "platform/failure.h"
#include "platform/win32/wide_text.h"
#include "ui/win32/resources.h"

namespace ovalith::win32 {

namespace {

const DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
const DWORD kFrameExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

struct ScreenDpi {
  int x, y;
};

const ScreenDpi& Dpi() {
  static const ScreenDpi dpi = [] {
    HDC screen = GetDC(nullptr);
    ScreenDpi d{GetDeviceCaps(screen, LOGPIXELSX),
                GetDeviceCaps(screen, LOGPIXELSY)};
    ReleaseDC(nullptr, screen);
    return d;
  }();
  return dpi;
}

HFONT DialogFont() {
  static const HFONT font = [] {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics,
                              0))
      return CreateFontIndirectW(&metrics.lfMessageFont);
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

void Register(HINSTANCE instance, const wchar_t* class_name,
              WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, class_name, &existing)) return;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(OVALITH_ICON), IMAGE_ICON,
                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(
      instance, MAKEINTRESOURCEW(OVALITH_ICON), IMAGE_ICON,
      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = class_name;
  if (!RegisterClassExW(&window_class))
    throw Failure(LastErrorText("window class"));
}

}  // namespace

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

int DialogFrame::DpiX() { return Dpi().x; }
int DialogFrame::DpiY() { return Dpi().y; }

namespace {

// The whole window around a client area given in twips, centred on the
// work area.
RECT CentredFrame(int client_width, int client_height) {
  RECT frame{0, 0, TwipsToPixels(client_width, Dpi().x),
             TwipsToPixels(client_height, Dpi().y)};
  AdjustWindowRectEx(&frame, kFrameStyle, FALSE, kFrameExStyle);
  const LONG width = frame.right - frame.left;
  const LONG height = frame.bottom - frame.top;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const LONG left = work.left + (work.right - work.left - width) / 2;
  const LONG top = work.top + (work.bottom - work.top - height) / 2;
  return {left, top, left + width, top + height};
}

}  // namespace

HWND DialogFrame::Create(HINSTANCE instance, const wchar_t* class_name,
                         WNDPROC procedure, const wchar_t* caption,
                         int client_width, int client_height, void* user_data) {
  Register(instance, class_name, procedure);
  const RECT frame = CentredFrame(client_width, client_height);
  HWND window = CreateWindowExW(kFrameExStyle, class_name, caption, kFrameStyle,
                                frame.left, frame.top, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr,
                                instance, user_data);
  if (!window) throw Failure(LastErrorText("window"));
  return window;
}

void DialogFrame::Resize(HWND window, int client_width, int client_height) {
  const RECT frame = CentredFrame(client_width, client_height);
  SetWindowPos(window, nullptr, frame.left, frame.top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogFrame::Place(HWND control, TwipsRect place) {
  SetWindowPos(
      control, nullptr, TwipsToPixels(place.left, DpiX()),
      TwipsToPixels(place.top, DpiY()), TwipsToPixels(place.width, DpiX()),
      TwipsToPixels(place.height, DpiY()), SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE DialogFrame::TextExtent(const std::wstring& text) {
  SIZE size{0, 0};
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, DialogFont());
  GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()),
                        &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return size;
}

std::wstring DialogFrame::FitText(const std::wstring& text, int width) {
  if (TextExtent(text).cx <= width) return text;
  // Characters go from the middle, alternately before and after it, until
  // what is left fits around the ellipsis.
  std::wstring head = text.substr(0, text.size() / 2);
  std::wstring tail = text.substr(text.size() / 2);
  std::wstring fitted;
  for (bool from_head = true; !head.empty() || !tail.empty();
       from_head = !from_head) {
    // Never half of a surrogate pair.
    if ((from_head && !head.empty()) || tail.empty()) {
      head.pop_back();
      if (!head.empty() && IS_HIGH_SURROGATE(head.back())) head.pop_back();
    } else {
      tail.erase(0, 1);
      if (!tail.empty() && IS_LOW_SURROGATE(tail.front())) tail.erase(0, 1);
    }
    fitted = head + L"\u2026" + tail;
    if (TextExtent(fitted).cx <= width) break;
  }
  return fitted;
}

int DialogFrame::LineHeight() {
  TEXTMETRICW metrics{};
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, DialogFont());
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return metrics.tmHeight;
}

void* DialogFrame::UserData(HWND window, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    void* data = reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    return data;
  }
  return reinterpret_cast<void*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND DialogFrame::AddControl(HWND parent, const wchar_t* kind,
                             const wchar_t* text, DWORD style, DWORD ex_style,
                             int id, TwipsRect place) {
  HWND control = CreateWindowExW(
      ex_style, kind, text, WS_CHILD | WS_VISIBLE | style,
      TwipsToPixels(place.left, DpiX()), TwipsToPixels(place.top, DpiY()),
      TwipsToPixels(place.width, DpiX()), TwipsToPixels(place.height, DpiY()),
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
      nullptr);
  if (!control) throw Failure(LastErrorText("control"));
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()),
               FALSE);
  return control;
}

}  // namespace ovalith::win32
