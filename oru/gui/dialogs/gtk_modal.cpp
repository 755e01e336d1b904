#include "oru/gui/dialogs/gtk_modal.h"

#include <cstdint>

#include "oru/gui/dialogs/dialog_loop.h"

namespace vk2 {

namespace {

struct Response {
  int32_t done = 0;
  gint id = GTK_RESPONSE_NONE;
};

void OnResponse(GtkDialog*, gint id, gpointer data) {
  auto* response = static_cast<Response*>(data);
  response->id = id;
  response->done = 1;
}

}  // namespace

gint RunGtkDialogModally(GtkWidget* dialog) {
  Response response;
  const gulong responded = g_signal_connect(dialog, "response", G_CALLBACK(&OnResponse), &response);
  const gulong deleted =
      g_signal_connect(dialog, "delete-event", G_CALLBACK(&gtk_widget_hide_on_delete), nullptr);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_window_present(GTK_WINDOW(dialog));
  RunModalUntil(&response.done);
  g_signal_handler_disconnect(dialog, responded);
  g_signal_handler_disconnect(dialog, deleted);
  return response.id;
}

void DestroyGtkDialog(GtkWidget* dialog) {
  gtk_widget_destroy(dialog);
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

}  // namespace vk2
