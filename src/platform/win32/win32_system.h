// win32_system.h: the System of Windows: the command line, drives,
// directories, names and files through the wide-character API, and the
// cipher library as a DLL from the program's own folder.
#pragma once

#include "platform/system.h"

namespace ovalith::win32 {

class Win32System : public System {
 public:
  CommandLine ReadCommandLine() override;

  char Separator() const override { return '\\'; }
  std::string AbsolutePath(const std::string& path) override;
  void EnterDrive(const std::string& path) override;
  void EnterDirectory(const std::string& dir) override;
  std::optional<std::string> LookUp(const std::string& name) override;
  bool IsDirectory(const std::string& name) override;
  bool IsPlainName(const std::string& name) const override;
  std::string NameToCodePage(const std::string& name) const override;
  std::string CodePageToName(const std::string& bytes) const override;
  bool NamesIgnoreCase() const override { return true; }
  std::optional<std::string> PasswordToCodePage(
      const std::string& text) const override;
  std::string PasswordCodePage() const override;

  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateNew(const std::string& name) override;
  void ReplaceFile(const std::string& temp_name,
                   const std::string& final_name) override;
  void RemoveFile(const std::string& name) noexcept override;
  std::string FileIdentity(const std::string& path) override;

  void* LoadLibrary(const std::string& name) override;
  void* FindEntryPoint(void* library, const char* name) override;
};

}  // namespace ovalith::win32
