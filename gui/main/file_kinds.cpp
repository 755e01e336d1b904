#include "gui/main/file_kinds.h"

#include <sys/stat.h>

#include "gui/paths/path_routines.h"

namespace vk2::gui {
namespace {

// The text after the last "." of the file name, or empty.
TString ExtensionOf(const TString& path) {
  TString name = PathFileName(path.c_str());
  for (uint32_t i = name.Length(); i-- > 0;) {
    if (name[i] == u'.') return name.Mid(static_cast<int32_t>(i + 1));
  }
  return {};
}

}  // namespace

PathKind GetPathKind(const char16_t* path) {
  if (!path || !*path) return PathKind::kMissing;
  struct stat st {};
  if (::stat(NarrowFromWide(path).c_str(), &st) != 0) return PathKind::kMissing;
  return S_ISDIR(st.st_mode) ? PathKind::kFolder : PathKind::kFile;
}

bool IsInterfacePackage(const TString& path) {
  return IsInterfacePackagePath(path);
}

bool IsVisualPluginFile(const TString& path) {
  return ExtensionOf(path).Equals(u"vvp", false);
}

}  // namespace vk2::gui
