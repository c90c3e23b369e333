// web_view.h: the View of the page.  The core runs in a worker; the dialog,
// message boxes and progress bar are the page's (page/page.js), reached
// through the worker's host (page/web_host.js).  Waiting for the user
// suspends the core (Asyncify) until the page answers.
#pragma once

#include <string>

#include "platform/view.h"

namespace ovalith {

class WebView : public View {
 public:
  void SetText(Control control, const std::string& text) override;
  std::string GetText(Control control) override;
  void SetVisible(Control control, bool visible) override;
  void SetMainEnabled(bool enabled) override;
  MainEvent WaitForMainEvent() override;
  void UnloadWindows() override;
  void SetDetails(Control control, const std::string& text) override;

  Answer MessageBox(const std::string& text, Icon icon) override;
  Answer AskInSet(const std::string& text) override;
  void ShowUsage(const std::string& text, const std::string& cause) override;

  void ProgressShow(const std::string& caption) override;
  void ProgressSetMax(std::uint64_t max) override;
  void ProgressSetValue(std::uint64_t value) override;
  void ProgressHide() override;
  void ProcessPendingEvents() override {}
  void ProgressSetStep(const std::string& step) override;
  // Lets the worker take the page's messages, a stop among them.
  bool StopRequested() override;
};

}  // namespace ovalith
