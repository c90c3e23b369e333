// dialog_frame.h: what both windows share: a fixed dialog frame with a close
// box and no minimise or maximise buttons, sized from a client area given in
// twips, and controls placed in twips at the system's DPI.
#pragma once

#include <string>

#include "platform/win32/windows_api.h"

namespace ovalith::win32 {

// 1440 twips make an inch at any DPI.
int TwipsToPixels(int twips, int dpi);

struct TwipsRect {
  int left, top, width, height;
};

class DialogFrame {
 public:
  // The window class is registered on first use.  The window is created
  // hidden, centred on the screen, with no owner; user_data is what
  // UserData returns for it.
  static HWND Create(HINSTANCE instance, const wchar_t* class_name,
                     WNDPROC procedure, const wchar_t* caption,
                     int client_width, int client_height, void* user_data);
  // For a window procedure: its window's user data, kept from the
  // creation message on.
  static void* UserData(HWND window, UINT message, LPARAM lparam);

  // A child control at a place given in twips, in the dialog font.
  static HWND AddControl(HWND parent, const wchar_t* kind, const wchar_t* text,
                         DWORD style, DWORD ex_style, int id, TwipsRect place);
  // Moves a control to a place given in twips.
  static void Place(HWND control, TwipsRect place);
  // A new client area, in twips; the window stays centred on the screen.
  static void Resize(HWND window, int client_width, int client_height);

  // The size in pixels of one line of text in the dialog font, and the
  // height of its lines.
  static SIZE TextExtent(const std::wstring& text);
  static int LineHeight();
  // text as it fits in width pixels of the dialog font: whole, or with
  // its middle replaced by an ellipsis, so that a name keeps both its
  // beginning and its extension.
  static std::wstring FitText(const std::wstring& text, int width);

  static int DpiX();
  static int DpiY();
};

}  // namespace ovalith::win32
