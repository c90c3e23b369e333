#include "ui/win32/file_chooser.h"

#include <commdlg.h>

#include "platform/failure.h"
#include "platform/win32/wide_text.h"

namespace ovalith::win32 {

namespace {

// Room for the names of thousands of files: the dialog cuts nothing short
// there, unlike a command line.
const DWORD kBufferCharacters = 1 << 20;

}  // namespace

std::vector<std::wstring> ChosenPaths(const wchar_t* buffer) {
  std::vector<std::wstring> parts;
  for (const wchar_t* at = buffer; *at; at += parts.back().size() + 1)
    parts.emplace_back(at);
  if (parts.size() <= 1) return parts;
  std::wstring folder = parts.front();
  if (folder.back() != L'\\') folder += L'\\';
  std::vector<std::wstring> paths;
  for (std::size_t i = 1; i < parts.size(); ++i)
    paths.push_back(folder + parts[i]);
  return paths;
}

std::vector<std::wstring> ChooseFiles(HWND owner) {
  std::wstring buffer(kBufferCharacters, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = L"All files\0*.*\0Ovalith containers\0*.ov2\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kBufferCharacters;
  dialog.lpstrTitle = kChooserTitle;
  dialog.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST |
                 OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                 OFN_DONTADDTORECENT;
  if (GetOpenFileNameW(&dialog)) return ChosenPaths(buffer.c_str());
  if (DWORD error = CommDlgExtendedError())
    throw Failure("the file chooser failed (error " + std::to_string(error) +
                  ")");
  return {};
}

}  // namespace ovalith::win32
