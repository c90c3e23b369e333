#include "ui/gtk/file_chooser.h"

#include <gtk/gtk.h>

#include <optional>

namespace ovalith::gtk {

// GtkFileDialog replaces the chooser dialog only from GTK 4.10 on; 4.8 is
// what must build.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

std::vector<std::string> RunFileChooser() {
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      "Choose files to encrypt or decrypt", nullptr,
      GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel", GTK_RESPONSE_CANCEL, "_Open",
      GTK_RESPONSE_ACCEPT, nullptr);
  g_object_ref_sink(dialog);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_file_chooser_set_select_multiple(chooser, TRUE);
  gchar* here = g_get_current_dir();
  GFile* folder = g_file_new_for_path(here);
  gtk_file_chooser_set_current_folder(chooser, folder, nullptr);
  g_object_unref(folder);
  g_free(here);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  // GTK destroys a dialog closed with Escape unless it is only hidden.
  gtk_window_set_hide_on_close(GTK_WINDOW(dialog), TRUE);

  std::optional<int> response;
  g_signal_connect(dialog, "response",
                   G_CALLBACK(+[](GtkDialog*, int id, gpointer p) {
                     *static_cast<std::optional<int>*>(p) = id;
                   }),
                   &response);
  gtk_window_present(GTK_WINDOW(dialog));
  while (!response) g_main_context_iteration(nullptr, TRUE);

  std::vector<std::string> paths;
  if (*response == GTK_RESPONSE_ACCEPT) {
    GListModel* files = gtk_file_chooser_get_files(chooser);
    for (guint i = 0; i < g_list_model_get_n_items(files); ++i) {
      auto* file = static_cast<GFile*>(g_list_model_get_item(files, i));
      if (gchar* path = g_file_get_path(file)) {
        paths.emplace_back(path);
        g_free(path);
      }
      g_object_unref(file);
    }
    g_object_unref(files);
  }
  gtk_window_destroy(GTK_WINDOW(dialog));
  g_object_unref(dialog);
  return paths;
}

G_GNUC_END_IGNORE_DEPRECATIONS

}  // namespace ovalith::gtk
