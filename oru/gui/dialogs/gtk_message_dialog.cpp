#include <gtk/gtk.h>

#include "oru/gui/dialogs/gtk_dialogs.h"
#include "oru/gui/dialogs/gtk_modal.h"

namespace vk2 {

namespace {

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
  const gint response = RunGtkDialogModally(dialog);
  DestroyGtkDialog(dialog);
  return AnswerFor(response, request.buttons);
}

}  // namespace vk2
