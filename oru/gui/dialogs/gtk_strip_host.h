// The caller's strip inside the GTK chooser: rows of labels, combo fields and buttons packed
// into one box that becomes the chooser's extra widget.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <map>

#include "foundation/text/tstring.h"
#include "interfaces/gui/file_dialogs.h"

namespace vk2 {

class GtkStripHost final : public MDialogStripHost {
 public:
  GtkStripHost(GtkDialog* dialog, MDialogStrip* strip);

  // The box holding the rows (owned by the dialog once set as its extra widget).
  GtkWidget* Widget() const { return box_; }
  bool Closed() const { return closed_; }

  int32_t AddLabel(int32_t id, const char16_t* text) override;
  int32_t AddComboField(int32_t id) override;
  int32_t AddButton(int32_t id, const char16_t* text) override;
  int32_t NewRow() override;
  int32_t InsertEntry(int32_t id, int32_t index, const char16_t* text) override;
  int32_t SelectEntry(int32_t id, int32_t index) override;
  int32_t GetText(int32_t id, TString* text) override;
  int32_t SetText(int32_t id, const char16_t* text) override;
  int32_t CloseDialog() override;

 private:
  struct Pressed {
    GtkStripHost* host;
    int32_t id;
  };
  static void OnClicked(GtkButton* button, gpointer data);
  int32_t Pack(int32_t id, GtkWidget* widget);
  GtkWidget* Find(int32_t id) const;

  GtkDialog* dialog_;
  MDialogStrip* strip_;
  GtkWidget* box_;
  GtkWidget* row_ = nullptr;
  std::map<int32_t, GtkWidget*> controls_;
  std::map<int32_t, Pressed> pressed_;
  bool closed_ = false;
};

}  // namespace vk2
