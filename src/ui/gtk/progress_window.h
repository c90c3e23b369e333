// progress_window.h: the progress window on GTK: a caption, for a set of
// files the step ("2 of 5: report.txt"), and a bar, shown without
// blocking.  Closing it or Escape in it asks for the run to stop; while it
// is up the main loop runs only so that the windows keep painting and that
// request is seen.
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

  // Created on first use.  Once a stop was asked for it stays away.
  void Show(const std::string& caption);
  void SetMax(std::uint64_t max);
  // Moves the bar and lets the windows paint.
  void SetValue(std::uint64_t value);
  // Shows the step above the bar.
  void SetStep(const std::string& step);
  void Hide();
  // Gives the window the keyboard again if it is shown; false if not.
  bool Present();
  void Destroy();
  // True from the moment the user closed the window or pressed Escape in
  // it until the request is forgotten (when no run is in progress).
  bool stop_requested() const { return stop_requested_; }
  void ForgetStopRequest() { stop_requested_ = false; }

 private:
  void Create();
  static gboolean OnCloseRequest(GtkWindow* window, gpointer self);
  static gboolean OnEscape(GtkWidget* widget, GVariant* args, gpointer self);

  double scale_;
  GtkWindow* window_ = nullptr;
  GtkWidget* fixed_ = nullptr;
  GtkWidget* step_ = nullptr;
  GtkWidget* bar_ = nullptr;
  std::uint64_t max_ = 0;
  int shown_permille_ = -1;
  bool stop_requested_ = false;
};

}  // namespace ovalith::gtk
