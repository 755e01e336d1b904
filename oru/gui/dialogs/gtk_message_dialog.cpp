#include <gtk/gtk.h>

#include "oru/gui/dialogs/dialog_loop.h"
#include "oru/gui/dialogs/gtk_dialogs.h"

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

GtkButtonsType ButtonsFor(int32_t buttons) {
  switch (buttons) {
    case kMessageBoxOkCancel:
      return GTK_BUTTONS_OK_CANCEL;
    case kMessageBoxYesNo:
      return GTK_BUTTONS_YES_NO;
    default:
      return GTK_BUTTONS_OK;
  }
}

int32_t AnswerFor(gint id, int32_t buttons) {
  switch (id) {
    case GTK_RESPONSE_OK:
      return kAnswerOk;
    case GTK_RESPONSE_YES:
      return kAnswerYes;
    case GTK_RESPONSE_NO:
      return kAnswerNo;
    case GTK_RESPONSE_CANCEL:
      return kAnswerCancel;
    default:  // closed by the window manager: the gentlest answer the box offers
      return buttons == kMessageBoxYesNo ? kAnswerNo
             : buttons == kMessageBoxOk  ? kAnswerOk
                                         : kAnswerCancel;
  }
}

}  // namespace

int32_t RunGtkMessageDialog(const MessageBoxRequest& request) {
  GtkWidget* dialog =
      gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_INFO,
                             ButtonsFor(request.buttons), "%s", Utf8(request.text).c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), Utf8(request.caption).c_str());
  Response response;
  g_signal_connect(dialog, "response", G_CALLBACK(&OnResponse), &response);
  // Escape or the window's close button answer without destroying: we still read the dialog.
  g_signal_connect(dialog, "delete-event", G_CALLBACK(&gtk_widget_hide_on_delete), nullptr);
  gtk_window_present(GTK_WINDOW(dialog));
  RunModalUntil(&response.done);
  gtk_widget_destroy(dialog);
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  return AnswerFor(response.id, request.buttons);
}

}  // namespace vk2
