// memory_system.h: a System held entirely in memory, for the core's tests:
// directories and files with mode bits under a umask, a working directory,
// the command line from arguments, and failures injected at any call.  It
// never writes to the disk nor changes the process's working directory; it
// only reads the cipher library from the build directory.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/system.h"

namespace ovalith::test {

class MemorySystem : public System {
 public:
  // args: the program's arguments without its own name.  The file system
  // starts with "/" only, which is the working directory.
  explicit MemorySystem(std::vector<std::string> args = {});
  ~MemorySystem() override;

  // --- Setting up and looking (never counted, never failing by injection).
  // Paths are absolute or relative to the working directory.
  void SetArguments(std::vector<std::string> args) { args_ = std::move(args); }
  // Names then match entries of another letter case too, as on Windows.
  void SetCaseInsensitive(bool insensitive) { insensitive_ = insensitive; }
  void SetUmask(unsigned umask) { umask_ = umask; }
  void SetWorkingDirectory(const std::string& dir);
  const std::string& WorkingDirectory() const { return cwd_; }
  // Makes dir and the directories on its way.
  void MakeDirectory(const std::string& dir, unsigned mode = 0755);
  // Replaces the content of a file in place (an open input sees it) or
  // makes a new one with mode.
  void Write(const std::string& path, const std::string& data,
             unsigned mode = 0644);
  std::string Read(const std::string& path) const;
  bool Exists(const std::string& path) const;
  // Names in a directory, sorted.
  std::vector<std::string> List(const std::string& dir) const;
  unsigned Mode(const std::string& path) const;
  void SetMode(const std::string& path, unsigned mode);
  void Remove(const std::string& path);
  // Every entry under "/" by its path: a file's content, or "<dir>", each
  // with its mode: to show that nothing changed.
  std::map<std::string, std::string> Snapshot() const;
  // Output files then say they may be written from another thread, as the
  // POSIX ones do, so runs write behind.
  void SetWritesFromAnyThread(bool any) { writes_from_any_thread_ = any; }
  bool WritesFromAnyThread() const { return writes_from_any_thread_; }
  // LoadLibrary("ovalith") loads lib<name>.so from the build directory.
  void UseLibrary(std::string name) { library_ = std::move(name); }

  // --- Injected failures --------------------------------------------------
  // Counted calls: every System call but the constant ones (Separator,
  // IsPlainName and the code page conversions), and InputFile's Read and
  // Size and OutputFile's Write and Close, each under its own name.
  // The nth call (from 1) of that name throws Failure(cause).
  void FailAt(const std::string& call, int nth, std::string cause);
  // The index-th counted call (from 1) throws Failure(cause).
  void FailCall(int index, std::string cause);
  int Calls() const { return static_cast<int>(call_log_.size()); }
  // The names of the counted calls so far, in order.
  const std::vector<std::string>& CallLog() const { return call_log_; }

  // --- System ---------------------------------------------------------
  CommandLine ReadCommandLine() override;
  char Separator() const override { return '/'; }
  std::string AbsolutePath(const std::string& path) override;
  void EnterDrive(const std::string& path) override;
  void EnterDirectory(const std::string& dir) override;
  std::optional<std::string> LookUp(const std::string& name) override;
  bool IsDirectory(const std::string& name) override;
  bool IsPlainName(const std::string& name) const override;
  std::string NameToCodePage(const std::string& name) const override {
    return name;
  }
  std::string CodePageToName(const std::string& bytes) const override {
    return bytes;
  }
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateNew(const std::string& name) override;
  void ReplaceFile(const std::string& temp_name,
                   const std::string& final_name) override;
  // An injected failure leaves the file, as a failed removal would.
  void RemoveFile(const std::string& name) noexcept override;
  std::string FileIdentity(const std::string& path) override;
  void LimitPermissions(const std::string& name,
                        const std::string& like_path) override;
  void* LoadLibrary(const std::string& name) override;
  void* FindEntryPoint(void* library, const char* name) override;

  struct Node;
  // Counts a call (the open files' calls too); throws the failure injected
  // there.
  void Count(const char* call);

 private:
  struct Found;
  Found Resolve(const std::string& path) const;
  // Counts a call; true when a failure is injected there.
  bool Injected(const char* call);

  std::vector<std::string> args_;
  std::shared_ptr<Node> root_;
  std::string cwd_ = "/";
  bool insensitive_ = false;
  unsigned umask_ = 022;
  std::string library_ = "ovalith";

  bool writes_from_any_thread_ = false;

  std::mutex calls_mutex_;  // writes behind count from their thread
  std::vector<std::string> call_log_;
  std::map<std::string, int> calls_by_name_;
  int fail_index_ = 0;
  std::string fail_call_;
  int fail_nth_ = 0;
  std::string fail_cause_;
};

}  // namespace ovalith::test
