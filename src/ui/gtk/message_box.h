// message_box.h: a modal message box on GTK titled "Ovalith": an icon, the
// text, and OK, or Yes and No (and Cancel), announced as an alert.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/view.h"

namespace ovalith::gtk {

// Lines of text are joined by "\r\n".  parent: the window it belongs to,
// or null.  A question offers Yes and No, and Cancel when offer_cancel.
// Return presses OK, or No: Enter never replaces a file.  Escape and the
// close box answer No, or Cancel when it is offered.
Answer RunMessageBox(GtkWindow* parent, const std::string& text, Icon icon,
                     bool offer_cancel = false);

}  // namespace ovalith::gtk
