// The file dialogs are GTK's own chooser: the filters, folder, proposed name and multiple
// selection are handed over, the caller's strip becomes the chooser's extra widget.
#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "oru/gui/dialogs/file_patterns.h"
#include "oru/gui/dialogs/gtk_dialogs.h"
#include "oru/gui/dialogs/gtk_modal.h"
#include "oru/gui/dialogs/gtk_strip_host.h"

namespace vk2 {

namespace {

GtkFileChooserAction ActionFor(const FileDialogRequest& request) {
  if (request.save) return GTK_FILE_CHOOSER_ACTION_SAVE;
  return request.folders ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER : GTK_FILE_CHOOSER_ACTION_OPEN;
}

const char* DefaultTitle(const FileDialogRequest& request) {
  if (request.save) return "Save File";
  if (request.folders) return "Choose Folder";
  return request.multiple ? "Open Files" : "Open File";
}

std::vector<GtkFileFilter*> AddFilters(GtkFileChooser* chooser,
                                       const std::vector<FileFilter>& filters) {
  std::vector<GtkFileFilter*> added;
  for (const FileFilter& filter : filters) {
    GtkFileFilter* gtkFilter = gtk_file_filter_new();
    gtk_file_filter_set_name(gtkFilter, Utf8(filter.display).c_str());
    for (const TString& pattern : SplitPatterns(filter.patterns)) {
      gtk_file_filter_add_pattern(gtkFilter, CaseBlindGlob(pattern).c_str());
    }
    gtk_file_chooser_add_filter(chooser, gtkFilter);  // the chooser takes the floating reference
    added.push_back(gtkFilter);
  }
  return added;
}

}  // namespace

FileDialogResult RunGtkFileChooser(const FileDialogRequest& request) {
  FileDialogResult result;
  result.filterIndex = request.filterIndex;
  const char* accept = request.save ? "_Save" : "_Open";
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      request.title.IsEmpty() ? DefaultTitle(request) : Utf8(request.title).c_str(), nullptr,
      ActionFor(request), "_Cancel", GTK_RESPONSE_CANCEL, accept, GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
  gtk_file_chooser_set_select_multiple(chooser, request.multiple && !request.save);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  if (request.save) {
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
    if (!request.fileName.IsEmpty()) {
      gtk_file_chooser_set_current_name(chooser, Utf8(request.fileName).c_str());
    }
  }
  if (!request.folder.IsEmpty()) {
    gtk_file_chooser_set_current_folder(chooser, Utf8(request.folder).c_str());
  }
  const std::vector<GtkFileFilter*> filters = AddFilters(chooser, request.filters);
  if (request.filterIndex >= 0 && request.filterIndex < static_cast<int32_t>(filters.size())) {
    gtk_file_chooser_set_filter(chooser, filters[request.filterIndex]);
  }

  std::unique_ptr<GtkStripHost> strip;
  if (request.strip) {
    strip = std::make_unique<GtkStripHost>(GTK_DIALOG(dialog), request.strip.Get());
    request.strip->Build(strip.get());
    gtk_file_chooser_set_extra_widget(chooser, strip->Widget());
  }

  const gint response = RunGtkDialogModally(dialog);

  if (response == GTK_RESPONSE_ACCEPT && !(strip && strip->Closed())) {
    GSList* names = gtk_file_chooser_get_filenames(chooser);
    for (GSList* node = names; node; node = node->next) {
      result.paths.push_back(Utf16(static_cast<const char*>(node->data)));
    }
    g_slist_free_full(names, g_free);
  }
  GtkFileFilter* chosen = gtk_file_chooser_get_filter(chooser);
  for (size_t i = 0; i < filters.size(); ++i) {
    if (filters[i] == chosen) result.filterIndex = static_cast<int32_t>(i);
  }
  DestroyGtkDialog(dialog);
  return result;
}

}  // namespace vk2
