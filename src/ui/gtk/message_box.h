// message_box.h: a modal message box on GTK titled "Ovalith": an icon, the
// text, and OK, or Yes and No.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/view.h"

namespace ovalith::gtk {

// Lines of text are joined by "\r\n".  parent: the window it belongs to,
// or null.  Return presses the first button; Escape and the close box
// answer No to a question.
Answer RunMessageBox(GtkWindow* parent, const std::string& text, Icon icon);

}  // namespace ovalith::gtk
