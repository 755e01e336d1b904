#include "gui/interface_window/file_drop.h"

namespace vk2::gui {

bool QueueDroppedFiles(MGuiMain* main, const FileDropRecord* drop) {
  if (!main || !drop || drop->count <= 0 || !drop->paths) return false;
  TArray<TString> files;
  for (int32_t i = 0; i < drop->count; ++i) {
    if (drop->paths[i]) files.Append(TString(drop->paths[i]));
  }
  if (files.IsEmpty()) return false;
  uint32_t flags = 0;
  main->GetAddFilesOptions(&flags);
  flags &= kAddFilesAppend | kAddFilesPlayImmediately;
  return main->QueueFiles(u"default", &files, flags, 0) >= 0;
}

}  // namespace vk2::gui
