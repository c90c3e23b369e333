// system.h: what the program needs from the operating system: its command
// line, directories and names, files, and loading the cipher library.
//
// A port implements System (platform/posix, platform/win32); the core's
// tests run on an in-memory one.  The windows are the View's (view.h).
// Every call that can fail throws Failure naming the cause.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"

namespace ovalith {

// What a command line asks for besides files.
enum class Request {
  kRun,          // the files (or the usage message when there are none)
  kHelp,         // --help: the usage on standard output, status 0
  kVersion,      // --version
  kChooseFiles,  // the menu entries' option: the file chooser first
};

// The command line as start-up reads it: the file's path as one text (all
// of it, as it always was read), the same text split into one path per file
// (used when the whole does not name a file) and, when the option was
// given, the password's text as typed (not yet cut).
struct CommandLine {
  std::string path;
  std::vector<std::string> paths;
  std::optional<std::string> password;
  Request request = Request::kRun;
};

// A file opened for reading.  Read fills buf and returns how many bytes it
// read; fewer than n only at the end of the file.
class InputFile {
 public:
  virtual ~InputFile() = default;
  virtual std::size_t Read(std::uint8_t* buf, std::size_t n) = 0;
  virtual std::uint64_t Size() = 0;
};

// A file opened for writing.  Close flushes it to stable storage.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void Write(const std::uint8_t* data, std::size_t n) = 0;
  virtual void Close() = 0;
  // Whether Write may be called from a thread other than the opener's (one
  // call at a time), so that a run writes one batch while it transforms the
  // next.
  virtual bool WritesFromAnyThread() const { return false; }
};

class System {
 public:
  virtual ~System() = default;

  // --- Command line ------------------------------------------------------
  virtual CommandLine ReadCommandLine() = 0;

  // --- Names and directories -------------------------------------------
  // The directory separator: '/' or '\\'.
  virtual char Separator() const = 0;
  // A relative path made absolute against the working directory; an
  // absolute one unchanged.
  virtual std::string AbsolutePath(const std::string& path) = 0;
  // Makes the drive a path begins with the current one; nothing where
  // there are no drives.
  virtual void EnterDrive(const std::string& path) = 0;
  // Makes dir the working directory.
  virtual void EnterDirectory(const std::string& dir) = 0;
  // The listed name of the entry of the working directory that matches
  // name (files of every kind and directories alike): the entry of that
  // exact name, else one the file system takes for it (letter case).  A
  // name with a separator matches nothing.
  virtual std::optional<std::string> LookUp(const std::string& name) = 0;
  virtual bool IsDirectory(const std::string& name) = 0;
  // True when name can name a plain file in the working directory: no
  // separator, no control character, not "." or "..", nothing the system
  // reserves.
  virtual bool IsPlainName(const std::string& name) const = 0;
  // True where the file system takes names whatever their letter case
  // (Windows): there "PHOTO.OV2" is a container as "photo.ov2" is.
  virtual bool NamesIgnoreCase() const { return false; }
  // Texts that enter blocks are bytes of the 8-bit code page; names are
  // the system's.  Identity on POSIX.
  virtual std::string NameToCodePage(const std::string& name) const = 0;
  virtual std::string CodePageToName(const std::string& bytes) const = 0;
  // A password typed in the system's encoding as the bytes its key is
  // folded from: the same Windows code page on every system, so that one
  // password gives one key everywhere.  None when it holds a character the
  // code page lacks.
  virtual std::optional<std::string> PasswordToCodePage(
      const std::string& text) const {
    return NameToCodePage(text);
  }
  // The code page passwords are folded in, as a user would name it
  // ("Windows-1252").
  virtual std::string PasswordCodePage() const { return "Windows-1252"; }

  // --- Files -------------------------------------------------------------
  virtual std::unique_ptr<InputFile> OpenInput(const std::string& path) = 0;
  virtual std::uint64_t FileSize(const std::string& path) {
    return OpenInput(path)->Size();
  }
  // A new file in the working directory, with the permissions of any new
  // file; nullptr when the name is taken.
  virtual std::unique_ptr<OutputFile> CreateNew(const std::string& name) = 0;
  // Puts the complete file temp_name in place of final_name, atomically.
  // A file it replaces hands on its permissions (and where the system
  // allows, its owner and other attributes).
  virtual void ReplaceFile(const std::string& temp_name,
                           const std::string& final_name) = 0;
  // Removes a file; failures are ignored (used while unwinding).
  virtual void RemoveFile(const std::string& name) noexcept = 0;
  // What tells one file from another however it is named (device and
  // inode, volume and file index): equal for two names of one file; empty
  // when nothing of that name exists.
  virtual std::string FileIdentity(const std::string& path) = 0;
  // A new file's permissions narrowed to those of the input it is made
  // from, so an output is never more readable than what it came from.
  virtual void LimitPermissions(const std::string& name,
                                const std::string& like_path) {
    (void)name;
    (void)like_path;
  }

  // --- Cipher library ----------------------------------------------------
  // Loads a library by its bare name ("ovalith" is libovalith.so or
  // ovalith.dll) from the program's own directory, then the system's.
  virtual void* LoadLibrary(const std::string& name) = 0;
  // An entry point of a loaded library, or nullptr.
  virtual void* FindEntryPoint(void* library, const char* name) = 0;
};

}  // namespace ovalith
