// dialog_layout.h: controls placed from a layout in twips, as the Windows
// dialogs are, at one scale for both windows: the smallest at which the
// theme's controls fit their places (never below 15 twips to a unit, the
// 96 DPI size).  The windows keep that fixed size.  Also what the windows
// share beyond their layout: the pending events run, the Escape key.
#pragma once

#include <gtk/gtk.h>

#include <span>

namespace ovalith::gtk {

struct TwipsRect {
  int left, top, width, height;
};

struct Placed {
  GtkWidget* widget;
  TwipsRect place;
  // The widget's natural width must fit the place (labels and buttons
  // whose text is fixed); others only their height.
  bool fit_width;
};

// GTK units per twip for the given controls.  They are measured as they
// are, so they must already carry their texts and style.
double ScaleFor(std::span<const Placed> controls);

int ToUnits(int twips, double scale);

// A fixed container of the client size holding the controls at their
// places, for the window's child.
GtkWidget* LayOut(std::span<const Placed> controls, int client_width,
                  int client_height, double scale);

// Runs the main loop until nothing is pending.
void DrainEvents();

// Calls action when Escape is pressed in the window.
void OnEscapeKey(GtkWindow* window, GtkShortcutFunc action, gpointer data);

}  // namespace ovalith::gtk
