#include "platform/win32/wide_text.h"

#include "platform/failure.h"

namespace ovalith::win32 {

namespace {

std::wstring ToWide(UINT code_page, DWORD flags, const std::string& text) {
  if (text.empty()) return {};
  int size = MultiByteToWideChar(code_page, flags, text.data(),
                                 static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) throw Failure("text that does not convert: " + text);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(code_page, flags, text.data(),
                      static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string FromWide(UINT code_page, DWORD flags, const std::wstring& wide) {
  if (wide.empty()) return {};
  int size = WideCharToMultiByte(code_page, flags, wide.data(),
                                 static_cast<int>(wide.size()), nullptr, 0,
                                 nullptr, nullptr);
  if (size <= 0) throw Failure("text that does not convert");
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(code_page, flags, wide.data(),
                      static_cast<int>(wide.size()), text.data(), size, nullptr,
                      nullptr);
  return text;
}

}  // namespace

std::wstring Widen(const std::string& utf8) {
  return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
}

std::string Narrow(const std::wstring& wide) {
  return FromWide(CP_UTF8, 0, wide);
}

std::wstring WidenLoosely(const std::string& text, UINT code_page) {
  return ToWide(code_page, 0, text);
}

std::wstring WidenCodePage(const std::string& bytes) {
  return ToWide(CP_ACP, 0, bytes);
}

std::string NarrowCodePage(const std::wstring& wide) {
  return FromWide(CP_ACP, 0, wide);
}

std::optional<std::string> NarrowExactly(UINT code_page,
                                         const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  BOOL lacking = FALSE;
  int size = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide.data(),
                                 length, nullptr, 0, nullptr, &lacking);
  if (size <= 0 || lacking) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                      text.data(), size, nullptr, &lacking);
  if (lacking) return std::nullopt;
  return text;
}

std::string ShownOnWindows(const std::string& text) {
  std::string shown;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text.compare(at, 4, "\\x5c") == 0) {
      shown += '\\';
      at += 3;
    } else {
      shown += text[at];
    }
  }
  return shown;
}

std::string SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", length);
  if (buffer) LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  if (text.empty()) return "error " + std::to_string(error);
  return Narrow(text);
}

std::string LastErrorText(const std::string& name) {
  DWORD error = GetLastError();
  return name + ": " + SystemErrorText(error);
}

}  // namespace ovalith::win32
