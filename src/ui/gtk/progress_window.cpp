#include "ui/gtk/progress_window.h"

#include <algorithm>

#include "ui/gtk/dialog_layout.h"

namespace ovalith::gtk {

namespace {

constexpr TwipsRect kBar = {120, 240, 2895, 255};
constexpr int kClientWidth = 3120;
constexpr int kClientHeight = 720;

// A run cannot be interrupted: the close box does nothing.
gboolean IgnoreClose(GtkWindow*, gpointer) { return TRUE; }

}  // namespace

ProgressWindow::~ProgressWindow() { Destroy(); }

void ProgressWindow::Create() {
  window_ = GTK_WINDOW(gtk_window_new());
  g_object_ref_sink(window_);
  gtk_window_set_resizable(window_, FALSE);
  bar_ = gtk_progress_bar_new();
  const Placed placed[] = {{bar_, kBar, false}};
  gtk_window_set_child(window_,
                       LayOut(placed, kClientWidth, kClientHeight, scale_));
  gtk_widget_set_valign(bar_, GTK_ALIGN_CENTER);
  g_signal_connect(window_, "close-request", G_CALLBACK(IgnoreClose), nullptr);
}

void ProgressWindow::Show(const std::string& caption) {
  if (!window_) Create();
  gtk_window_set_title(window_, caption.c_str());
  shown_permille_ = -1;
  SetValue(0);
  gtk_window_present(window_);
}

void ProgressWindow::SetMax(std::uint64_t max) {
  max_ = max;
  shown_permille_ = -1;
}

void ProgressWindow::SetValue(std::uint64_t value) {
  if (!window_) return;
  const int permille =
      max_ == 0 ? 0
                : static_cast<int>(static_cast<double>(std::min(value, max_)) /
                                   static_cast<double>(max_) * 1000.0);
  if (permille != shown_permille_) {
    shown_permille_ = permille;
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(bar_), permille / 1000.0);
  }
  // Input reaches only the disabled main window and the ignored close
  // boxes, so this paints and changes nothing else.
  DrainEvents();
}

void ProgressWindow::Hide() {
  if (window_) gtk_widget_set_visible(GTK_WIDGET(window_), FALSE);
}

void ProgressWindow::Destroy() {
  if (!window_) return;
  GtkWindow* window = window_;
  window_ = nullptr;
  bar_ = nullptr;
  gtk_window_destroy(window);
  g_object_unref(window);
}

}  // namespace ovalith::gtk
