// win32_view.h: the view of the Windows program: the main window, the
// progress window, message boxes and the file chooser.
#pragma once

#include "platform/view.h"
#include "platform/win32/windows_api.h"
#include "ui/win32/main_window.h"
#include "ui/win32/progress_window.h"

namespace ovalith::win32 {

class Win32View : public View {
 public:
  explicit Win32View(HINSTANCE instance);

  void SetText(Control control, const std::string& text) override;
  std::string GetText(Control control) override;
  void SetVisible(Control control, bool visible) override;
  void SetMainEnabled(bool enabled) override;
  MainEvent WaitForMainEvent() override;
  void UnloadWindows() override;
  void SetDetails(Control control, const std::string& text) override;
  std::vector<std::string> ChooseFiles() override;

  Answer MessageBox(const std::string& text, Icon icon) override;
  Answer AskInSet(const std::string& text) override;
  void ShowUsage(const std::string& text, const std::string& cause) override;

  void ProgressShow(const std::string& caption) override;
  void ProgressSetMax(std::uint64_t max) override;
  void ProgressSetValue(std::uint64_t value) override;
  void ProgressHide() override;
  void ProcessPendingEvents() override;
  void ProgressSetStep(const std::string& step) override;
  bool StopRequested() override;

 private:
  MainWindow main_;
  ProgressWindow progress_;
};

}  // namespace ovalith::win32
