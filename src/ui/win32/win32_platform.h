// win32_platform.h: the program's system interface on Windows: the two
// windows, message boxes, the command line, directories and files through
// the wide-character API, and the cipher library as a DLL.
#pragma once

#include "platform/platform.h"
#include "ui/win32/main_window.h"
#include "ui/win32/progress_window.h"
#include "ui/win32/windows_api.h"

namespace ovalith::win32 {

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance);

  std::string CommandText() override;

  char Separator() const override { return '\\'; }
  std::string AbsolutePath(const std::string& path) override;
  void EnterDrive(const std::string& path) override;
  void EnterDirectory(const std::string& dir) override;
  std::optional<std::string> LookUp(const std::string& name) override;
  bool IsDirectory(const std::string& name) override;
  bool IsPlainName(const std::string& name) const override;
  std::string NameToCodePage(const std::string& name) const override;
  std::string CodePageToName(const std::string& bytes) const override;

  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  std::unique_ptr<OutputFile> CreateTemporary(const std::string& final_name,
                                              std::string& temp_name) override;
  void ReplaceFile(const std::string& temp_name,
                   const std::string& final_name) override;
  void RemoveFile(const std::string& name) noexcept override;

  void* LoadLibrary(const std::string& name) override;
  void* FindEntryPoint(void* library, const char* name) override;

  void SetText(Control control, const std::string& text) override;
  std::string GetText(Control control) override;
  void SetVisible(Control control, bool visible) override;
  void SetMainEnabled(bool enabled) override;
  MainEvent WaitForMainEvent() override;
  void UnloadWindows() override;

  Answer MessageBox(const std::string& text, Icon icon) override;
  void ShowUsage(const std::string& text, const std::string& cause) override;

  void ProgressShow(const std::string& caption) override;
  void ProgressSetMax(std::uint64_t max) override;
  void ProgressSetValue(std::uint64_t value) override;
  void ProgressHide() override;
  void ProcessPendingEvents() override;

 private:
  MainWindow main_;
  ProgressWindow progress_;
};

}  // namespace ovalith::win32
