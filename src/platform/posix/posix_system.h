// posix_system.h: the System of POSIX systems: arguments, directories,
// names and files through POSIX calls, the cipher library through dlopen.
// A temporary output is known to the signal handlers until it is put in
// place or removed, so a signal that ends the program removes it too.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"

namespace ovalith {

class PosixSystem : public System {
 public:
  // args: the program's arguments without its own name; program_dir: the
  // directory (with its trailing '/') the cipher library is looked for in
  // first, or empty.
  PosixSystem(std::vector<std::string> args, std::string program_dir);

  CommandLine ReadCommandLine() override;
  char Separator() const override { return '/'; }
  std::string AbsolutePath(const std::string& path) override;
  void EnterDrive(const std::string&) override {}
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
  std::optional<std::string> PasswordToCodePage(
      const std::string& text) const override;
  std::string PasswordCodePage() const override;

  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateNew(const std::string& name) override;
  void ReplaceFile(const std::string& temp_name,
                   const std::string& final_name) override;
  void RemoveFile(const std::string& name) noexcept override;
  std::string FileIdentity(const std::string& path) override;
  void LimitPermissions(const std::string& name,
                        const std::string& like_path) override;

  void* LoadLibrary(const std::string& name) override;
  void* FindEntryPoint(void* library, const char* name) override;

 private:
  std::vector<std::string> args_;
  std::string program_dir_;
  std::string pending_;  // the temporary output the signal handlers know
};

}  // namespace ovalith
