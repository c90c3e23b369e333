#include "ui/gtk/main_window.h"

#include <utility>

#include "ui/gtk/dialog_layout.h"

namespace ovalith::gtk {

namespace {

struct ControlLayout {
  Control control;
  const char* text;
  TwipsRect place;
};

const ControlLayout kLayout[] = {
    {Control::Label1, "File :", {120, 120, 375, 255}},
    {Control::lblPW1, "Enter password :", {120, 480, 1335, 255}},
    {Control::lblFile, "Filename", {600, 120, 2655, 255}},
    {Control::txtPW1, "", {1920, 480, 1335, 285}},
    {Control::txtPW2, "", {1920, 840, 1335, 285}},
    {Control::lblPW2, "Enter password again :", {120, 840, 1695, 255}},
    {Control::cmdOK, "Encrypt", {480, 1320, 1335, 375}},
    {Control::cmdCancel, "Cancel", {1920, 1320, 1335, 375}},
};

constexpr int kClientWidth = 3330;
constexpr int kClientHeight = 1770;

std::size_t Index(Control control) { return static_cast<std::size_t>(control); }

bool IsPasswordBox(Control control) {
  return control == Control::txtPW1 || control == Control::txtPW2;
}

std::size_t BoxIndex(Control control) {
  return control == Control::txtPW1 ? 0 : 1;
}

// File names and command lines need not be UTF-8; GTK shows only UTF-8.
std::string Displayable(const std::string& text) {
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
    return text;
  gchar* valid =
      g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string out(valid);
  g_free(valid);
  return out;
}

GtkWidget* MakeControl(const ControlLayout& layout) {
  switch (layout.control) {
    case Control::txtPW1:
    case Control::txtPW2: {
      GtkWidget* entry = gtk_entry_new();
      gtk_entry_set_visibility(GTK_ENTRY(entry), FALSE);
      gtk_entry_set_invisible_char(GTK_ENTRY(entry), '*');
      gtk_entry_set_input_purpose(GTK_ENTRY(entry), GTK_INPUT_PURPOSE_PASSWORD);
      gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
      // The place decides the width, not the text.
      gtk_editable_set_width_chars(GTK_EDITABLE(entry), 1);
      return entry;
    }
    case Control::cmdOK:
    case Control::cmdCancel:
      return gtk_button_new_with_label(layout.text);
    default: {
      GtkWidget* label = gtk_label_new(layout.text);
      gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
      if (layout.control == Control::lblFile) {
        // Long names are cut short, not widened: in the middle, so that
        // the extension, which decides the mode, stays in sight.
        gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_MIDDLE);
        gtk_label_set_max_width_chars(GTK_LABEL(label), 1);
      }
      return label;
    }
  }
}

}  // namespace

MainWindow::MainWindow() {
  window_ = GTK_WINDOW(gtk_window_new());
  g_object_ref_sink(window_);
  gtk_window_set_title(window_, "Ovalith 2.0");
  gtk_window_set_resizable(window_, FALSE);

  Placed placed[std::size(kLayout)];
  std::size_t n = 0;
  for (const ControlLayout& layout : kLayout) {
    GtkWidget* widget = MakeControl(layout);
    controls_[Index(layout.control)] = widget;
    const bool fit_width =
        layout.control != Control::lblFile && !IsPasswordBox(layout.control);
    placed[n++] = {widget, layout.place, fit_width};
  }
  scale_ = ScaleFor(placed);
  gtk_window_set_child(window_,
                       LayOut(placed, kClientWidth, kClientHeight, scale_));

  GtkWidget* ok = Item(Control::cmdOK);
  gtk_widget_add_css_class(ok, "suggested-action");
  gtk_window_set_default_widget(window_, ok);
  g_signal_connect(ok, "clicked", G_CALLBACK(OnClicked), this);
  g_signal_connect(Item(Control::cmdCancel), "clicked", G_CALLBACK(OnClicked),
                   this);
  g_signal_connect(window_, "close-request", G_CALLBACK(OnCloseRequest), this);

  OnEscapeKey(window_, OnEscape, this);
  // A screen reader names each box after the label before it.
  for (auto [box, label] : {std::pair(Control::txtPW1, Control::lblPW1),
                            std::pair(Control::txtPW2, Control::lblPW2)})
    gtk_accessible_update_relation(GTK_ACCESSIBLE(Item(box)),
                                   GTK_ACCESSIBLE_RELATION_LABELLED_BY,
                                   Item(label), nullptr, -1);
  gtk_window_set_focus(window_, Item(Control::txtPW1));
}

MainWindow::~MainWindow() { Destroy(); }

GtkWidget* MainWindow::Item(Control control) const {
  if (control == Control::frmMain) return GTK_WIDGET(window_);
  return controls_[Index(control)];
}

void MainWindow::SetText(Control control, const std::string& text) {
  if (!window_) return;
  GtkWidget* item = Item(control);
  const std::string shown = Displayable(text);
  if (control == Control::frmMain) {
    gtk_window_set_title(window_, shown.c_str());
  } else if (IsPasswordBox(control)) {
    gtk_editable_set_text(GTK_EDITABLE(item), shown.c_str());
    given_[BoxIndex(control)] = std::pair(text, shown);
  } else if (GTK_IS_BUTTON(item)) {
    gtk_button_set_label(GTK_BUTTON(item), shown.c_str());
  } else {
    gtk_label_set_text(GTK_LABEL(item), shown.c_str());
    // An ellipsis may hide the end of a long name.
    if (control == Control::lblFile)
      gtk_widget_set_tooltip_text(item, shown.c_str());
  }
}

std::string MainWindow::GetText(Control control) const {
  if (!window_) return {};
  GtkWidget* item = Item(control);
  if (control == Control::frmMain) {
    const char* title = gtk_window_get_title(window_);
    return title ? title : "";
  }
  if (IsPasswordBox(control)) {
    std::string text = gtk_editable_get_text(GTK_EDITABLE(item));
    const auto& given = given_[BoxIndex(control)];
    return given && given->second == text ? given->first : text;
  }
  if (GTK_IS_BUTTON(item)) return gtk_button_get_label(GTK_BUTTON(item));
  return gtk_label_get_text(GTK_LABEL(item));
}

void MainWindow::SetDetails(Control control, const std::string& details) {
  if (!window_ || control == Control::frmMain) return;
  const std::string shown = Displayable(details);
  gtk_widget_set_tooltip_text(Item(control), shown.c_str());
  gtk_accessible_update_property(GTK_ACCESSIBLE(Item(control)),
                                 GTK_ACCESSIBLE_PROPERTY_DESCRIPTION,
                                 shown.c_str(), -1);
}

void MainWindow::SetVisible(Control control, bool visible) {
  if (window_) gtk_widget_set_visible(Item(control), visible);
}

void MainWindow::SetEnabled(bool enabled) {
  if (!window_ || enabled == enabled_) return;
  enabled_ = enabled;
  // A password box losing its focus to the insensitivity itself complains
  // that it never saw the focus go.
  if (!enabled) gtk_window_set_focus(window_, nullptr);
  gtk_widget_set_sensitive(gtk_window_get_child(window_), enabled);
  if (enabled) {
    // Back after a refusal (too short, not equal, wrong): both boxes are
    // emptied and the first has the focus, so the next attempt is typed
    // afresh instead of appended to the refused text.  (A selection to
    // type over does not survive the focus coming back to the window.)
    for (Control box : {Control::txtPW1, Control::txtPW2}) SetText(box, "");
    gtk_widget_grab_focus(Item(Control::txtPW1));
  }
}

MainEvent MainWindow::Wait() {
  if (!window_) return MainEvent::Close;
  shown_ = true;
  Present();
  event_.reset();
  while (!event_) g_main_context_iteration(nullptr, TRUE);
  return *event_;
}

void MainWindow::Present() {
  if (window_ && shown_) gtk_window_present(window_);
}

void MainWindow::Destroy() {
  if (!window_) return;
  GtkWindow* window = window_;
  window_ = nullptr;
  gtk_window_destroy(window);
  g_object_unref(window);
}

void MainWindow::OnClicked(GtkButton* button, gpointer self) {
  auto* me = static_cast<MainWindow*>(self);
  if (!me->enabled_) return;
  me->event_ = GTK_WIDGET(button) == me->Item(Control::cmdOK)
                   ? MainEvent::Ok
                   : MainEvent::Cancel;
}

gboolean MainWindow::OnCloseRequest(GtkWindow*, gpointer self) {
  auto* me = static_cast<MainWindow*>(self);
  // The window goes when the program says so; during a run, not at all.
  if (me->enabled_) me->event_ = MainEvent::Close;
  return TRUE;
}

gboolean MainWindow::OnEscape(GtkWidget*, GVariant*, gpointer self) {
  auto* me = static_cast<MainWindow*>(self);
  if (me->enabled_) gtk_widget_activate(me->Item(Control::cmdCancel));
  return TRUE;
}

}  // namespace ovalith::gtk
