#include "gui/window_base/package_window_ref.h"

#include <sys/stat.h>

#include <cstdio>

namespace vk2::gui {

TString PathInFolder(const TString& folder, const char16_t* name) {
  TString path = folder;
  if (!path.IsEmpty() && path[path.Length() - 1] != u'/') path += u"/";
  path += name;
  return path;
}

bool IsReadableFile(const TString& path) {
  const NarrowString narrow = Utf8(path);
  struct stat info {};
  if (::stat(narrow.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  FILE* file = std::fopen(narrow.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

}  // namespace vk2::gui
