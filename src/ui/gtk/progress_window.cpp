#include "ui/gtk/progress_window.h"

#include <algorithm>

#include "ui/gtk/dialog_layout.h"

namespace ovalith::gtk {

namespace {

constexpr TwipsRect kBar = {120, 240, 2895, 255};
// With a step, it goes above the bar, which moves down.
constexpr TwipsRect kStep = {120, 120, 2895, 255};
constexpr int kBarTopBelowStep = 435;
constexpr int kClientWidth = 3120;
constexpr int kClientHeight = 720;

}  // namespace

ProgressWindow::~ProgressWindow() { Destroy(); }

void ProgressWindow::Create() {
  window_ = GTK_WINDOW(gtk_window_new());
  g_object_ref_sink(window_);
  gtk_window_set_resizable(window_, FALSE);
  step_ = gtk_label_new("");
  gtk_label_set_xalign(GTK_LABEL(step_), 0.0f);
  gtk_label_set_ellipsize(GTK_LABEL(step_), PANGO_ELLIPSIZE_MIDDLE);
  gtk_label_set_max_width_chars(GTK_LABEL(step_), 1);
  bar_ = gtk_progress_bar_new();
  const Placed placed[] = {{step_, kStep, false}, {bar_, kBar, false}};
  fixed_ = LayOut(placed, kClientWidth, kClientHeight, scale_);
  gtk_widget_set_visible(step_, FALSE);
  gtk_window_set_child(window_, fixed_);
  gtk_widget_set_valign(bar_, GTK_ALIGN_CENTER);
  g_signal_connect(window_, "close-request", G_CALLBACK(OnCloseRequest), this);
  OnEscapeKey(window_, OnEscape, this);
}

void ProgressWindow::Show(const std::string& caption) {
  if (!window_) Create();
  gtk_window_set_title(window_, caption.c_str());
  // The bar is named after what it measures.
  gtk_accessible_update_property(
      GTK_ACCESSIBLE(bar_), GTK_ACCESSIBLE_PROPERTY_LABEL, caption.c_str(), -1);
  shown_permille_ = -1;
  SetValue(0);
  if (!stop_requested_) gtk_window_present(window_);
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
  // Input reaches only the disabled main window and this window's close
  // box and Escape, so this paints and notes a stop, nothing else.
  DrainEvents();
}

void ProgressWindow::SetStep(const std::string& step) {
  if (!window_) Create();
  gchar* valid =
      g_utf8_make_valid(step.data(), static_cast<gssize>(step.size()));
  gtk_label_set_text(GTK_LABEL(step_), valid);
  gtk_accessible_update_property(
      GTK_ACCESSIBLE(bar_), GTK_ACCESSIBLE_PROPERTY_DESCRIPTION, valid, -1);
  g_free(valid);
  if (!gtk_widget_get_visible(step_)) {
    gtk_widget_set_visible(step_, TRUE);
    gtk_fixed_move(GTK_FIXED(fixed_), bar_, ToUnits(kBar.left, scale_),
                   ToUnits(kBarTopBelowStep, scale_));
  }
}

void ProgressWindow::Hide() {
  if (window_) gtk_widget_set_visible(GTK_WIDGET(window_), FALSE);
}

bool ProgressWindow::Present() {
  if (!window_ || !gtk_widget_get_visible(GTK_WIDGET(window_))) return false;
  gtk_window_present(window_);
  return true;
}

void ProgressWindow::Destroy() {
  if (!window_) return;
  GtkWindow* window = window_;
  window_ = nullptr;
  fixed_ = step_ = bar_ = nullptr;
  gtk_window_destroy(window);
  g_object_unref(window);
}

gboolean ProgressWindow::OnCloseRequest(GtkWindow*, gpointer self) {
  auto* me = static_cast<ProgressWindow*>(self);
  // The run ends at its next look at the request, removing what it was
  // writing; the window goes at once.
  me->stop_requested_ = true;
  me->Hide();
  return TRUE;
}

gboolean ProgressWindow::OnEscape(GtkWidget*, GVariant*, gpointer self) {
  OnCloseRequest(nullptr, self);
  return TRUE;
}

}  // namespace ovalith::gtk
