// progress_window.h: the progress window on GTK: a caption and a bar,
// shown without blocking; while it is up the main loop runs only so that
// the windows keep painting.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <string>

namespace ovalith::gtk {

class ProgressWindow {
 public:
  // scale: GTK units per twip, the main window's.
  explicit ProgressWindow(double scale) : scale_(scale) {}
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Created on first use.
  void Show(const std::string& caption);
  void SetMax(std::uint64_t max);
  // Moves the bar and lets the windows paint.
  void SetValue(std::uint64_t value);
  void Hide();
  void Destroy();

 private:
  void Create();

  double scale_;
  GtkWindow* window_ = nullptr;
  GtkWidget* bar_ = nullptr;
  std::uint64_t max_ = 0;
  int shown_permille_ = -1;
};

}  // namespace ovalith::gtk
