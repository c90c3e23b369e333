// main_window.h: the main dialog on GTK: the file name, the two masked
// password boxes, the OK (default) and Cancel buttons, and the wait for one
// of its events.
#pragma once

#include <gtk/gtk.h>

#include <array>
#include <optional>
#include <string>

#include "platform/view.h"

namespace ovalith::gtk {

class MainWindow {
 public:
  MainWindow();
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Null once destroyed.
  GtkWindow* window() const { return window_; }
  // GTK units per twip, for the other windows to match.
  double scale() const { return scale_; }

  // Texts are UTF-8 for GTK; the password boxes give back exactly the
  // bytes they were given while no one has typed in them.
  void SetText(Control control, const std::string& text);
  std::string GetText(Control control) const;
  // More than the control shows (the list of files behind its text): a
  // tooltip, and the description a screen reader reads.
  void SetDetails(Control control, const std::string& details);
  void SetVisible(Control control, bool visible);
  // Disabled, the window takes no input and cannot be closed.  Enabled
  // again (after a refusal), the password boxes are empty and the first
  // has the focus.
  void SetEnabled(bool enabled);

  // Shows the window if hidden and runs the main loop until OK, Cancel or
  // the close box.
  MainEvent Wait();
  // Gives the window the keyboard again (after another window closed).
  void Present();
  void Destroy();

 private:
  GtkWidget* Item(Control control) const;
  static void OnClicked(GtkButton* button, gpointer self);
  static gboolean OnCloseRequest(GtkWindow* window, gpointer self);
  static gboolean OnEscape(GtkWidget* widget, GVariant* args, gpointer self);

  GtkWindow* window_ = nullptr;
  std::array<GtkWidget*, 9> controls_{};
  // What a password box was given, and the text it shows for it.
  std::array<std::optional<std::pair<std::string, std::string>>, 2> given_;
  std::optional<MainEvent> event_;
  double scale_ = 1.0;
  bool enabled_ = true;
  bool shown_ = false;
};

}  // namespace ovalith::gtk
