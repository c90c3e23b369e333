// posix_platform.h: the parts of the platform that POSIX systems share:
// the command line, directories, names, files and loading the cipher
// library.  The terminal front end and the scripted front end of the tests
// add the windows on top.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace ovalith {

class PosixPlatform : public Platform {
 public:
  // args: the program's arguments without its own name.
  explicit PosixPlatform(std::vector<std::string> args);

  std::string CommandText() override;
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

  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::uint64_t FileSize(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateTemporary(const std::string& final_name,
                                              std::string& temp_name) override;
  void ReplaceFile(const std::string& temp_name,
                   const std::string& final_name) override;
  void RemoveFile(const std::string& name) noexcept override;

  // Looks in the executable's own directory first, then the system's
  // search path.
  void* LoadLibrary(const std::string& name) override;
  void* FindEntryPoint(void* library, const char* name) override;

 private:
  std::vector<std::string> args_;
};

}  // namespace ovalith
