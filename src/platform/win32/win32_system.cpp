#include "platform/win32/win32_system.h"

#include "platform/win32/command_line.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/windows_api.h"
#include "platform/win32/windows_names.h"
#include "startup/command_line.h"

namespace ovalith::win32 {

namespace {

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

// The ANSI code page, in which passwords have always become key bytes.
// Where Windows is set to use UTF-8 there is none: Windows-1252, as on Linux.
UINT PasswordPage() {
  const UINT page = GetACP();
  return page == CP_UTF8 ? 1252 : page;
}

// A path Windows refused: too long says so plainly, with what to do.
Failure PathFailure(const std::string& path) {
  const DWORD error = GetLastError();
  if (error == ERROR_FILENAME_EXCED_RANGE ||
      (error == ERROR_PATH_NOT_FOUND && path.size() >= MAX_PATH))
    return Failure(path +
                   ": the path is too long for this Windows (more than 259 "
                   "characters): move the file to a shorter path, or turn on "
                   "long paths (Windows 10 and later)");
  return Failure(path + ": " + SystemErrorText(error));
}

}  // namespace

CommandLine Win32System::ReadCommandLine() {
  return ParseCommandText(Narrow(std::wstring(ArgumentsOf(GetCommandLineW()))));
}

std::string Win32System::AbsolutePath(const std::string& path) {
  std::wstring wide = Widen(path);
  DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) throw PathFailure(path);
  std::wstring full(size, L'\0');
  size = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (size == 0 || size >= full.size()) throw PathFailure(path);
  full.resize(size);
  return Narrow(full);
}

void Win32System::EnterDrive(const std::string& path) {
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

void Win32System::EnterDirectory(const std::string& dir) {
  if (dir.empty()) return;
  if (!SetCurrentDirectoryW(Widen(dir).c_str())) throw PathFailure(dir);
}

std::optional<std::string> Win32System::LookUp(const std::string& name) {
  // Only the working directory is searched, and a wildcard would match
  // some other file.
  if (name.empty() || name.find_first_of("\\/*?") != std::string::npos)
    return std::nullopt;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Widen(name).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  return Narrow(found.cFileName);
}

bool Win32System::IsDirectory(const std::string& name) {
  DWORD attributes = GetFileAttributesW(Widen(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32System::IsPlainName(const std::string& name) const {
  return IsPlainWindowsName(name);
}

std::string Win32System::FileIdentity(const std::string& path) {
  // No access asked: this only identifies, and must work on a file another
  // program holds open; directories need the backup flag.
  HANDLE file =
      CreateFileW(Widen(path).c_str(), 0,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  BY_HANDLE_FILE_INFORMATION info;
  const BOOL known = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!known) return "";
  return std::to_string(info.dwVolumeSerialNumber) + ":" +
         std::to_string(info.nFileIndexHigh) + ":" +
         std::to_string(info.nFileIndexLow);
}

std::string Win32System::NameToCodePage(const std::string& name) const {
  return NarrowCodePage(Widen(name));
}

std::string Win32System::CodePageToName(const std::string& bytes) const {
  return Narrow(WidenCodePage(bytes));
}

std::optional<std::string> Win32System::PasswordToCodePage(
    const std::string& text) const {
  return NarrowExactly(PasswordPage(), Widen(text));
}

std::string Win32System::PasswordCodePage() const {
  const UINT page = PasswordPage();
  if (page == 874 || (page >= 1250 && page <= 1258))
    return "Windows-" + std::to_string(page);
  return "code page " + std::to_string(page);
}

std::unique_ptr<InputFile> Win32System::OpenInput(const std::string& path) {
  return OpenInputFile(path);
}

std::unique_ptr<OutputFile> Win32System::CreateNew(const std::string& name) {
  return CreateNewFile(name);
}

void Win32System::ReplaceFile(const std::string& temp_name,
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

void Win32System::RemoveFile(const std::string& name) noexcept {
  try {
    DeleteFileW(Widen(name).c_str());
  } catch (...) {
  }
}

void* Win32System::LoadLibrary(const std::string& name) {
  // Never from the working directory, which is the folder of the file
  // being processed: whoever gave the user that file may have put a DLL
  // beside it.  The program's own folder, then the system's.  By its full
  // path first: a search that starts from a working directory longer than
  // MAX_PATH fails as a whole.
  const std::wstring file = Widen(name) + L".dll";
  const std::wstring folder = ProgramFolder();
  HMODULE library = nullptr;
  if (!folder.empty() &&
      GetFileAttributesW((folder + file).c_str()) != INVALID_FILE_ATTRIBUTES) {
    library = LoadLibraryExW((folder + file).c_str(), nullptr,
                             LOAD_WITH_ALTERED_SEARCH_PATH);
  } else {
    library =
        LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows 7 without update KB2533623 has no search flags; then only
    // beside the program.
  }
  if (!library) throw Failure(LastErrorText(name + ".dll"));
  return reinterpret_cast<void*>(library);
}

void* Win32System::FindEntryPoint(void* library, const char* name) {
  return reinterpret_cast<void*>(
      GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace ovalith::win32
