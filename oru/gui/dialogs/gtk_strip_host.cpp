#include "oru/gui/dialogs/gtk_strip_host.h"

#include "foundation/util/result.h"

namespace vk2 {

GtkStripHost::GtkStripHost(GtkDialog* dialog, MDialogStrip* strip)
    : dialog_(dialog), strip_(strip), box_(gtk_box_new(GTK_ORIENTATION_VERTICAL, 4)) {
  NewRow();
}

GtkWidget* GtkStripHost::Find(int32_t id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

int32_t GtkStripHost::Pack(int32_t id, GtkWidget* widget) {
  if (Find(id)) {
    gtk_widget_destroy(widget);
    return kErrAlreadyPresent;
  }
  controls_[id] = widget;
  const bool grows = GTK_IS_COMBO_BOX(widget);
  gtk_box_pack_start(GTK_BOX(row_), widget, grows, grows, 0);
  gtk_widget_show(widget);
  return 0;
}

int32_t GtkStripHost::AddLabel(int32_t id, const char16_t* text) {
  return Pack(id, gtk_label_new(Utf8(TString(text ? text : u"")).c_str()));
}

int32_t GtkStripHost::AddComboField(int32_t id) {
  return Pack(id, gtk_combo_box_text_new_with_entry());
}

int32_t GtkStripHost::AddButton(int32_t id, const char16_t* text) {
  GtkWidget* button = gtk_button_new_with_label(Utf8(TString(text ? text : u"")).c_str());
  const int32_t result = Pack(id, button);
  if (result < 0) return result;
  pressed_[id] = Pressed{this, id};
  g_signal_connect(button, "clicked", G_CALLBACK(&GtkStripHost::OnClicked), &pressed_[id]);
  return 0;
}

int32_t GtkStripHost::NewRow() {
  row_ = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  gtk_box_pack_start(GTK_BOX(box_), row_, FALSE, FALSE, 0);
  gtk_widget_show(row_);
  return 0;
}

int32_t GtkStripHost::InsertEntry(int32_t id, int32_t index, const char16_t* text) {
  GtkWidget* widget = Find(id);
  if (!widget || !GTK_IS_COMBO_BOX_TEXT(widget)) return kErrNotFound;
  gtk_combo_box_text_insert_text(GTK_COMBO_BOX_TEXT(widget), index,
                                 Utf8(TString(text ? text : u"")).c_str());
  return 0;
}

int32_t GtkStripHost::SelectEntry(int32_t id, int32_t index) {
  GtkWidget* widget = Find(id);
  if (!widget || !GTK_IS_COMBO_BOX(widget)) return kErrNotFound;
  gtk_combo_box_set_active(GTK_COMBO_BOX(widget), index);
  return gtk_combo_box_get_active(GTK_COMBO_BOX(widget)) == index ? 0 : kErrOutOfRange;
}

int32_t GtkStripHost::GetText(int32_t id, TString* text) {
  GtkWidget* widget = Find(id);
  if (!widget) return kErrNotFound;
  if (!text) return kErrMissingArg;
  const char* narrow = "";
  if (GTK_IS_COMBO_BOX(widget)) {
    narrow = gtk_entry_get_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(widget))));
  } else if (GTK_IS_BUTTON(widget)) {
    narrow = gtk_button_get_label(GTK_BUTTON(widget));
  } else if (GTK_IS_LABEL(widget)) {
    narrow = gtk_label_get_text(GTK_LABEL(widget));
  }
  *text = Utf16(narrow ? narrow : "");
  return 0;
}

int32_t GtkStripHost::SetText(int32_t id, const char16_t* text) {
  GtkWidget* widget = Find(id);
  if (!widget) return kErrNotFound;
  const NarrowString narrow = Utf8(TString(text ? text : u""));
  if (GTK_IS_COMBO_BOX(widget)) {
    gtk_entry_set_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(widget))), narrow.c_str());
  } else if (GTK_IS_BUTTON(widget)) {
    gtk_button_set_label(GTK_BUTTON(widget), narrow.c_str());
  } else if (GTK_IS_LABEL(widget)) {
    gtk_label_set_text(GTK_LABEL(widget), narrow.c_str());
  }
  return 0;
}

int32_t GtkStripHost::CloseDialog() {
  closed_ = true;
  gtk_dialog_response(dialog_, GTK_RESPONSE_CANCEL);
  return 0;
}

void GtkStripHost::OnClicked(GtkButton*, gpointer data) {
  auto* pressed = static_cast<Pressed*>(data);
  if (pressed->host->strip_) pressed->host->strip_->Command(pressed->host, pressed->id);
}

}  // namespace vk2
