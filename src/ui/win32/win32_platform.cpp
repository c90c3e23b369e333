#include "ui/win32/win32_platform.h"

#include "ui/win32/command_line.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/win32_files.h"
#include "ui/win32/windows_names.h"

namespace ovalith::win32 {

namespace {

bool IsPasswordBox(Control control) {
  return control == Control::txtPW1 || control == Control::txtPW2;
}

// The folder of the running program, with its trailing backslash; empty
// if unknown.
std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD size = GetModuleFileNameW(nullptr, path.data(),
                                    static_cast<DWORD>(path.size()));
    if (size == 0) return L"";
    if (size < path.size()) {
      path.resize(size);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance)
    : main_(instance), progress_(instance) {}

std::string Win32Platform::CommandText() {
  return Narrow(std::wstring(ArgumentsOf(GetCommandLineW())));
}

std::string Win32Platform::AbsolutePath(const std::string& path) {
  std::wstring wide = Widen(path);
  DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) throw Failure(LastErrorText(path));
  std::wstring full(size, L'\0');
  size = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (size == 0 || size >= full.size()) throw Failure(LastErrorText(path));
  full.resize(size);
  return Narrow(full);
}

void Win32Platform::EnterDrive(const std::string& path) {
  // Only a path that names its drive selects it; relative and network
  // paths keep the current drive.
  if (path.size() < 2 || path[1] != ':') return;
  char letter = path[0];
  if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')))
    return;
  const wchar_t drive[] = {static_cast<wchar_t>(letter), L':', L'\0'};
  if (!SetCurrentDirectoryW(drive))
    throw Failure(LastErrorText(path.substr(0, 2)));
}

void Win32Platform::EnterDirectory(const std::string& dir) {
  if (dir.empty()) return;
  if (!SetCurrentDirectoryW(Widen(dir).c_str()))
    throw Failure(LastErrorText(dir));
}

std::optional<std::string> Win32Platform::LookUp(const std::string& name) {
  // Only the working directory is searched.
  if (name.empty() || name.find_first_of("\\/") != std::string::npos)
    return std::nullopt;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Widen(name).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  return Narrow(found.cFileName);
}

bool Win32Platform::IsDirectory(const std::string& name) {
  DWORD attributes = GetFileAttributesW(Widen(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::IsPlainName(const std::string& name) const {
  return IsPlainWindowsName(name);
}

std::string Win32Platform::NameToCodePage(const std::string& name) const {
  return NarrowCodePage(Widen(name));
}

std::string Win32Platform::CodePageToName(const std::string& bytes) const {
  return Narrow(WidenCodePage(bytes));
}

std::unique_ptr<InputFile> Win32Platform::OpenInput(const std::string& path) {
  return OpenInputFile(path);
}

std::unique_ptr<OutputFile> Win32Platform::CreateTemporary(
    const std::string& final_name, std::string& temp_name) {
  // A name beside the output that says whose it is; a few tries in case
  // an earlier run left one behind.
  DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (int attempt = 0;; ++attempt) {
    char suffix[16];
    wsprintfA(suffix, "%04lx",
              static_cast<unsigned long>(
                  (seed + static_cast<DWORD>(attempt) * 40503u) & 0xFFFF));
    temp_name = final_name + ".ovalith-tmp-" + suffix;
    if (auto file = CreateNewFile(temp_name)) return file;
    if (attempt == 15) throw Failure(temp_name + ": exists");
  }
}

void Win32Platform::ReplaceFile(const std::string& temp_name,
                                const std::string& final_name) {
  // Full paths: Wine's ReplaceFileW fails on bare names.
  std::wstring temp = Widen(AbsolutePath(temp_name));
  std::wstring target = Widen(AbsolutePath(final_name));
  // A replaced file keeps its attributes and security, as if rewritten in
  // place; a rename would give it the temporary file's.
  if (::ReplaceFileW(target.c_str(), temp.c_str(), nullptr, 0, nullptr,
                     nullptr))
    return;
  DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND)
    throw Failure(final_name + ": " + SystemErrorText(error));
  // Nothing to replace: the new file takes the name.
  if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
    throw Failure(LastErrorText(final_name));
}

void Win32Platform::RemoveFile(const std::string& name) noexcept {
  try {
    DeleteFileW(Widen(name).c_str());
  } catch (...) {
  }
}

void* Win32Platform::LoadLibrary(const std::string& name) {
  // Never from the working directory, which is the folder of the file
  // being processed: whoever gave the user that file may have put a DLL
  // beside it.  The program's own folder, then the system's.
  std::wstring file = Widen(name) + L".dll";
  HMODULE library = LoadLibraryExW(
      file.c_str(), nullptr,
      LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Windows 7 without update KB2533623 has no search flags: the full path,
  // never the bare name.
  if (!library && GetLastError() == ERROR_INVALID_PARAMETER) {
    std::wstring folder = ProgramFolder();
    if (!folder.empty())
      library = LoadLibraryExW((folder + file).c_str(), nullptr,
                               LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  if (!library) throw Failure(LastErrorText(name + ".dll"));
  return reinterpret_cast<void*>(library);
}

void* Win32Platform::FindEntryPoint(void* library, const char* name) {
  return reinterpret_cast<void*>(
      GetProcAddress(static_cast<HMODULE>(library), name));
}

void Win32Platform::SetText(Control control, const std::string& text) {
  main_.SetText(control,
                IsPasswordBox(control) ? WidenCodePage(text) : Widen(text));
}

std::string Win32Platform::GetText(Control control) {
  std::wstring text = main_.GetText(control);
  return IsPasswordBox(control) ? NarrowCodePage(text) : Narrow(text);
}

void Win32Platform::SetVisible(Control control, bool visible) {
  main_.SetVisible(control, visible);
}

void Win32Platform::SetMainEnabled(bool enabled) { main_.SetEnabled(enabled); }

MainEvent Win32Platform::WaitForMainEvent() { return main_.Wait(); }

void Win32Platform::UnloadWindows() {
  progress_.Destroy();
  main_.Destroy();
}

Answer Win32Platform::MessageBox(const std::string& text, Icon icon) {
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

void Win32Platform::ShowUsage(const std::string& text,
                              const std::string& cause) {
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

void Win32Platform::ProgressShow(const std::string& caption) {
  progress_.Show(Widen(caption));
}

void Win32Platform::ProgressSetMax(std::uint64_t max) { progress_.SetMax(max); }

void Win32Platform::ProgressSetValue(std::uint64_t value) {
  progress_.SetValue(value);
}

void Win32Platform::ProgressHide() { progress_.Hide(); }

void Win32Platform::ProcessPendingEvents() {
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
