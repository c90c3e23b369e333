#include "ui/gtk/dialog_layout.h"

#include <algorithm>
#include <cmath>

namespace ovalith::gtk {

namespace {

constexpr double kTwipsPerUnit = 15.0;  // 1440 twips to the inch at 96 DPI

int Measure(GtkWidget* widget, GtkOrientation orientation) {
  int minimum = 0;
  int natural = 0;
  gtk_widget_measure(widget, orientation, -1, &minimum, &natural, nullptr,
                     nullptr);
  return natural;
}

}  // namespace

double ScaleFor(std::span<const Placed> controls) {
  double scale = 1.0 / kTwipsPerUnit;
  for (const Placed& c : controls) {
    scale = std::max(scale, Measure(c.widget, GTK_ORIENTATION_VERTICAL) /
                                static_cast<double>(c.place.height));
    if (c.fit_width) {
      scale = std::max(scale, Measure(c.widget, GTK_ORIENTATION_HORIZONTAL) /
                                  static_cast<double>(c.place.width));
    }
  }
  return scale;
}

int ToUnits(int twips, double scale) {
  return static_cast<int>(std::lround(twips * scale));
}

GtkWidget* LayOut(std::span<const Placed> controls, int client_width,
                  int client_height, double scale) {
  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, ToUnits(client_width, scale),
                              ToUnits(client_height, scale));
  for (const Placed& c : controls) {
    gtk_widget_set_size_request(c.widget, ToUnits(c.place.width, scale),
                                ToUnits(c.place.height, scale));
    gtk_fixed_put(GTK_FIXED(fixed), c.widget, ToUnits(c.place.left, scale),
                  ToUnits(c.place.top, scale));
  }
  return fixed;
}

void DrainEvents() {
  while (g_main_context_pending(nullptr)) {
    g_main_context_iteration(nullptr, FALSE);
  }
}

void OnEscapeKey(GtkWindow* window, GtkShortcutFunc action, gpointer data) {
  GtkEventController* keys = gtk_shortcut_controller_new();
  gtk_shortcut_controller_add_shortcut(
      GTK_SHORTCUT_CONTROLLER(keys),
      gtk_shortcut_new(
          gtk_keyval_trigger_new(GDK_KEY_Escape, GdkModifierType(0)),
          gtk_callback_action_new(action, data, nullptr)));
  gtk_widget_add_controller(GTK_WIDGET(window), keys);
}

}  // namespace ovalith::gtk
