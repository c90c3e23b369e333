// web_system.h: the System of the page: the files the user chose (and the
// outputs made from them) are one flat directory held by the page's worker
// (web_host.js); the cipher library is linked in.
#pragma once

#include <string>

#include "platform/system.h"

namespace ovalith {

class WebSystem : public System {
 public:
  // name: the chosen file this run works on.
  explicit WebSystem(std::string name) : name_(std::move(name)) {}

  CommandLine ReadCommandLine() override { return {"/" + name_, {}}; }
  char Separator() const override { return '/'; }
  std::string AbsolutePath(const std::string& path) override;
  void EnterDrive(const std::string&) override {}
  void EnterDirectory(const std::string& dir) override;
  std::optional<std::string> LookUp(const std::string& name) override;
  bool IsDirectory(const std::string&) override { return false; }
  bool IsPlainName(const std::string& name) const override;
  std::string NameToCodePage(const std::string& name) const override {
    return name;
  }
  std::string CodePageToName(const std::string& bytes) const override {
    return bytes;
  }

  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::uint64_t FileSize(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateNew(const std::string& name) override;
  void ReplaceFile(const std::string& temp_name,
                   const std::string& final_name) override;
  void RemoveFile(const std::string& name) noexcept override;

  void* LoadLibrary(const std::string& name) override;
  void* FindEntryPoint(void* library, const char* name) override;

 private:
  std::string name_;
};

}  // namespace ovalith
