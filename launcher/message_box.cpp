#include "launcher/message_box.h"

#include <gtk/gtk.h>

#include <cstdio>

#include "platform/environment.h"

namespace vk2::launcher {
namespace {

bool MayShowDialog() {
  if (GetEnv("VK2_NONINTERACTIVE")) return false;
  return GetEnv("DISPLAY") || GetEnv("WAYLAND_DISPLAY");
}

}  // namespace

void ShowMessageBox(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  if (!MayShowDialog() || !gtk_init_check(nullptr, nullptr)) return;
  GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                             GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  while (gtk_events_pending())
    gtk_main_iteration();
}

}  // namespace vk2::launcher
