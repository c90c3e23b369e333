// platform.h: everything the program needs from the system it runs on.
//
// The two windows, message boxes, the command line, directories, files and
// loading the cipher library all sit behind this one interface, so the same
// core runs with the terminal front end, the Win32 front end and the scripted
// front end of the tests.  Nothing below ui/ includes a system header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace ovalith {

// A run-time failure: whatever raised it, the program ends through the usage
// message, with the text of the failure as the cause.
class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The controls of the main window whose text or visibility the core sets.
enum class Control {
  frmMain,  // the window itself: its caption
  Label1,
  lblPW1,
  lblFile,
  txtPW1,
  txtPW2,
  lblPW2,
  cmdOK,
  cmdCancel,
};

enum class Icon { Information, Exclamation, Question };

// Information and exclamation boxes answer Ok; a question answers Yes or No.
enum class Answer { Ok, Yes, No };

// What ended a wait on the main window.
enum class MainEvent { Ok, Cancel, Close };

// A file opened for reading.  Read fills buf and returns how many bytes it
// read; fewer than n only at the end of the file.  Errors throw Failure.
class InputFile {
 public:
  virtual ~InputFile() = default;
  virtual std::size_t Read(std::uint8_t* buf, std::size_t n) = 0;
  virtual std::uint64_t Size() = 0;
};

// A file opened for writing.  Close flushes it to stable storage; errors of
// either throw Failure.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void Write(const std::uint8_t* data, std::size_t n) = 0;
  virtual void Close() = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- Process -----------------------------------------------------------
  // The command line without the program's own name, untrimmed.
  virtual std::string CommandText() = 0;

  // --- Names and directories -------------------------------------------
  // The directory separator: '/' or '\\'.
  virtual char Separator() const = 0;
  // A relative path made absolute against the current directory; an
  // absolute one unchanged.
  virtual std::string AbsolutePath(const std::string& path) = 0;
  // Makes the drive a path begins with the current one; nothing where
  // there are no drives.  Throws Failure.
  virtual void EnterDrive(const std::string& path) = 0;
  // Makes dir the working directory.  Throws Failure.
  virtual void EnterDirectory(const std::string& dir) = 0;
  // The listed name of the first entry of the working directory that
  // matches name (files of every attribute and directories alike).
  virtual std::optional<std::string> LookUp(const std::string& name) = 0;
  virtual bool IsDirectory(const std::string& name) = 0;
  // True when name names a plain file in the working directory: no
  // separator, no control character, not "." or "..", nothing the system
  // reserves.
  virtual bool IsPlainName(const std::string& name) const = 0;
  // Texts that enter blocks are bytes of the 8-bit code page; names are
  // the platform's.  Identity on POSIX.
  virtual std::string NameToCodePage(const std::string& name) const = 0;
  virtual std::string CodePageToName(const std::string& bytes) const = 0;

  // --- Files -------------------------------------------------------------
  virtual std::unique_ptr<InputFile> OpenInput(const std::string& path) = 0;
  // The size of a file in bytes.  Throws Failure.
  virtual std::uint64_t FileSize(const std::string& path) {
    return OpenInput(path)->Size();
  }
  // Creates a new file beside final_name in the working directory, named so
  // a user recognises it as ours, and sets temp_name to its name.
  virtual std::unique_ptr<OutputFile> CreateTemporary(
      const std::string& final_name, std::string& temp_name) = 0;
  // Puts the complete temporary file in place of final_name, atomically.
  virtual void ReplaceFile(const std::string& temp_name,
                           const std::string& final_name) = 0;
  // Removes a file; failures are ignored (used while unwinding).
  virtual void RemoveFile(const std::string& name) noexcept = 0;

  // --- Cipher library ----------------------------------------------------
  // Loads a library by its bare name ("ovalith" is libovalith.so or
  // ovalith.dll); throws Failure naming the cause.
  virtual void* LoadLibrary(const std::string& name) = 0;
  // An entry point of a loaded library, or nullptr.
  virtual void* FindEntryPoint(void* library, const char* name) = 0;

  // --- Main window -------------------------------------------------------
  // The password boxes hold bytes of the 8-bit code page; every other
  // control's text is a name or caption in the platform's encoding.
  virtual void SetText(Control control, const std::string& text) = 0;
  virtual std::string GetText(Control control) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  virtual void SetMainEnabled(bool enabled) = 0;
  // Shows the main window if hidden and waits until OK, Cancel or the
  // close box.
  virtual MainEvent WaitForMainEvent() = 0;
  // Unloads the progress window, then the main window.
  virtual void UnloadWindows() = 0;

  // --- Message boxes -----------------------------------------------------
  // Lines of text are joined by "\r\n".
  virtual Answer MessageBox(const std::string& text, Icon icon) = 0;
  // The usage message (six lines joined by "\r\n"), then the cause.
  virtual void ShowUsage(const std::string& text, const std::string& cause) = 0;

  // --- Progress window ---------------------------------------------------
  virtual void ProgressShow(const std::string& caption) = 0;
  virtual void ProgressSetMax(std::uint64_t max) = 0;
  // Called often during a run: must be cheap.
  virtual void ProgressSetValue(std::uint64_t value) = 0;
  virtual void ProgressHide() = 0;
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace ovalith
