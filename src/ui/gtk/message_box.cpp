#include "ui/gtk/message_box.h"

#include <optional>

namespace ovalith::gtk {

namespace {

struct Box {
  std::optional<Answer> answer;
  Answer on_close;
};

struct IconLook {
  const char* theme_name;
  const char* spoken;  // what a screen reader says for it
};

IconLook LookOf(Icon icon) {
  switch (icon) {
    case Icon::Information:
      return {"dialog-information", "Information"};
    case Icon::Exclamation:
      return {"dialog-warning", "Warning"};
    case Icon::Question:
      return {"dialog-question", "Question"};
  }
  return {"", ""};
}

std::string WithLineFeeds(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  if (!g_utf8_validate(out.data(), static_cast<gssize>(out.size()), nullptr)) {
    gchar* valid =
        g_utf8_make_valid(out.data(), static_cast<gssize>(out.size()));
    out = valid;
    g_free(valid);
  }
  return out;
}

GtkWidget* AddButton(GtkWidget* row, const char* label, Answer answer,
                     Box* box) {
  GtkWidget* button = gtk_button_new_with_label(label);
  gtk_widget_set_size_request(button, 88, -1);
  g_object_set_data(G_OBJECT(button), "answer",
                    GINT_TO_POINTER(static_cast<int>(answer)));
  g_signal_connect(
      button, "clicked", G_CALLBACK(+[](GtkButton* b, gpointer p) {
        static_cast<Box*>(p)->answer = static_cast<Answer>(
            GPOINTER_TO_INT(g_object_get_data(G_OBJECT(b), "answer")));
      }),
      box);
  gtk_box_append(GTK_BOX(row), button);
  return button;
}

// A key that answers the box.
void AddKey(GtkEventController* keys, guint keyval, Answer answer, Box* box) {
  struct Press {
    Box* box;
    Answer answer;
  };
  auto* press = new Press{box, answer};
  gtk_shortcut_controller_add_shortcut(
      GTK_SHORTCUT_CONTROLLER(keys),
      gtk_shortcut_new(
          gtk_keyval_trigger_new(keyval, GdkModifierType(0)),
          gtk_callback_action_new(
              +[](GtkWidget*, GVariant*, gpointer p) -> gboolean {
                auto* pr = static_cast<Press*>(p);
                pr->box->answer = pr->answer;
                return TRUE;
              },
              press, +[](gpointer p) { delete static_cast<Press*>(p); })));
}

}  // namespace

Answer RunMessageBox(GtkWindow* parent, const std::string& text, Icon icon,
                     bool offer_cancel) {
  const bool question = icon == Icon::Question;
  offer_cancel = offer_cancel && question;
  Box box{std::nullopt, !question      ? Answer::Ok
                        : offer_cancel ? Answer::Cancel
                                       : Answer::No};

  // The role is fixed when the window is made; as an alert a screen reader
  // reads the box out when it appears.
  GtkWindow* window = GTK_WINDOW(g_object_new(
      GTK_TYPE_WINDOW, "accessible-role", GTK_ACCESSIBLE_ROLE_ALERT, nullptr));
  g_object_ref_sink(window);
  gtk_window_set_title(window, "Ovalith");
  gtk_window_set_modal(window, TRUE);
  gtk_window_set_resizable(window, FALSE);
  if (parent && gtk_widget_get_visible(GTK_WIDGET(parent)))
    gtk_window_set_transient_for(window, parent);

  GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, 18);
  for (auto margin : {gtk_widget_set_margin_top, gtk_widget_set_margin_bottom,
                      gtk_widget_set_margin_start, gtk_widget_set_margin_end})
    margin(content, 18);
  GtkWidget* message = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 18);
  GtkWidget* image = gtk_image_new_from_icon_name(LookOf(icon).theme_name);
  gtk_image_set_pixel_size(GTK_IMAGE(image), 48);
  gtk_widget_set_valign(image, GTK_ALIGN_START);
  gtk_box_append(GTK_BOX(message), image);
  const std::string shown = WithLineFeeds(text);
  GtkWidget* label = gtk_label_new(shown.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_widget_set_valign(label, GTK_ALIGN_CENTER);
  gtk_box_append(GTK_BOX(message), label);
  gtk_box_append(GTK_BOX(content), message);
  gtk_accessible_update_property(GTK_ACCESSIBLE(window),
                                 GTK_ACCESSIBLE_PROPERTY_LABEL, "Ovalith", -1);
  gtk_accessible_update_property(GTK_ACCESSIBLE(window),
                                 GTK_ACCESSIBLE_PROPERTY_DESCRIPTION,
                                 shown.c_str(), -1);
  gtk_accessible_update_property(GTK_ACCESSIBLE(image),
                                 GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 LookOf(icon).spoken, -1);

  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
  gtk_widget_set_halign(row, GTK_ALIGN_END);
  GtkWidget* preset = nullptr;
  if (question) {
    AddButton(row, "Yes", Answer::Yes, &box);
    preset = AddButton(row, "No", Answer::No, &box);
    if (offer_cancel) AddButton(row, "Cancel", Answer::Cancel, &box);
  } else {
    preset = AddButton(row, "OK", Answer::Ok, &box);
  }
  gtk_box_append(GTK_BOX(content), row);
  gtk_window_set_child(window, content);
  gtk_window_set_default_widget(window, preset);
  gtk_widget_add_css_class(preset, "suggested-action");
  gtk_window_set_focus(window, preset);

  GtkEventController* keys = gtk_shortcut_controller_new();
  AddKey(keys, GDK_KEY_Escape, box.on_close, &box);
  if (question) {
    // As on Windows: the buttons' initials answer too.
    for (guint key : {GDK_KEY_y, GDK_KEY_Y})
      AddKey(keys, key, Answer::Yes, &box);
    for (guint key : {GDK_KEY_n, GDK_KEY_N})
      AddKey(keys, key, Answer::No, &box);
  }
  gtk_widget_add_controller(GTK_WIDGET(window), keys);
  g_signal_connect(window, "close-request",
                   G_CALLBACK(+[](GtkWindow*, gpointer p) -> gboolean {
                     auto* b = static_cast<Box*>(p);
                     b->answer = b->on_close;
                     return TRUE;
                   }),
                   &box);

  gtk_window_present(window);
  while (!box.answer) g_main_context_iteration(nullptr, TRUE);
  gtk_window_destroy(window);
  g_object_unref(window);
  return *box.answer;
}

}  // namespace ovalith::gtk
