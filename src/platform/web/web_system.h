// web_system.h: the System of the page: the files the user chose (and the
// outputs made from them) are one flat directory "/" held by the page's
// worker (page/web_host.js); the cipher library is linked in.
#pragma once

#include <string>

#include "platform/system.h"

namespace ovalith {

class WebSystem : public System {
 public:
  // The chosen files, as a command line naming each.
  CommandLine ReadCommandLine() override;
  char Separator() const override { return '/'; }
  std::string AbsolutePath(const std::string& path) override;
  void EnterDrive(const std::string&) override {}
  void EnterDirectory(const std::string& dir) override;
  std::optional<std::string> LookUp(const std::string& name) override;
  bool IsDirectory(const std::string&) override { return false; }
  bool IsPlainName(const std::string& name) const override;
  bool NamesIgnoreCase() const override { return true; }
  std::string NameToCodePage(const std::string& name) const override {
    return name;
  }
  std::string CodePageToName(const std::string& bytes) const override {
    return bytes;
  }
  std::optional<std::string> PasswordToCodePage(
      const std::string& text) const override;

  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::uint64_t FileSize(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateNew(const std::string& name) override;
  void ReplaceFile(const std::string& temp_name,
                   const std::string& final_name) override;
  void RemoveFile(const std::string& name) noexcept override;
  std::string FileIdentity(const std::string& path) override;

  void* LoadLibrary(const std::string& name) override;
  void* FindEntryPoint(void* library, const char* name) override;
};

}  // namespace ovalith
