// Shows a GTK dialog and waits for its answer while the loop serves everything else.
#pragma once

#include <gtk/gtk.h>

namespace vk2 {

// The response id; Escape and the window's close button answer GTK_RESPONSE_DELETE_EVENT and
// leave the dialog standing, so the caller can still read it before destroying it.
gint RunGtkDialogModally(GtkWidget* dialog);
// Destroys the dialog and lets its window go away at once instead of at the next event.
void DestroyGtkDialog(GtkWidget* dialog);

}  // namespace vk2
