// file_chooser.h: the Open dialog with several files allowed, for the
// Start-menu shortcut ("ovalith.exe /choose").
#pragma once

#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

namespace ovalith::win32 {

// The dialog's title, by which tests find it.
inline constexpr wchar_t kChooserTitle[] = L"Ovalith: choose files";

// The full paths of the chosen files; none when the user cancelled.
std::vector<std::wstring> ChooseFiles(HWND owner);

// What the dialog hands back, as full paths: one path, or a folder and
// then names, each ended by a null, the whole by a second null.
std::vector<std::wstring> ChosenPaths(const wchar_t* buffer);

}  // namespace ovalith::win32
