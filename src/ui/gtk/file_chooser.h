// file_chooser.h: GTK's file chooser, several files allowed, for a start
// from the application menu with no file named.
#pragma once

#include <string>
#include <vector>

namespace ovalith::gtk {

// Opens in the working directory and waits; the chosen files' paths, none
// when the user cancelled (files without a local path are left out).
std::vector<std::string> RunFileChooser();

}  // namespace ovalith::gtk
