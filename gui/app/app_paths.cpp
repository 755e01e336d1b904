#include "gui/app/app_paths.h"

#include <unistd.h>

#include <climits>

#include "gui/paths/path_routines.h"
#include "platform/executable_path.h"

namespace vk2::gui {

TString ResolvePath(const TString& base, const TString& path) {
  if (!path.IsEmpty() && (IsPathSeparator(path[0]) || (path.Length() > 1 && path[1] == u':'))) {
    return path;
  }
  TString result = base;
  // Join with the separator the base uses when it uses only backslashes; '/' otherwise.
  char16_t separator = kPathSeparator;
  if (base.FindChar(u'\\') >= 0 && base.FindChar(u'/') < 0) separator = u'\\';
  uint32_t i = 0;
  const uint32_t n = path.Length();
  while (i < n) {
    uint32_t end = i;
    while (end < n && !IsPathSeparator(path[end]))
      ++end;
    TString part = path.Mid(static_cast<int32_t>(i), static_cast<int32_t>(end - i));
    bool trailing = end < n;
    i = trailing ? end + 1 : end;
    if (part.IsEmpty() || part == u".") continue;
    if (part == u"..") {
      uint32_t len = result.Length();
      if (len == 1 && IsPathSeparator(result[0])) continue;  // nothing is above the root
      if (len > 0 && IsPathSeparator(result[len - 1])) --len;
      while (len > 0 && !IsPathSeparator(result[len - 1]))
        --len;
      // Keep the separator in front of the removed component only when it is the root.
      if (len > 1 && IsPathSeparator(result[len - 1])) --len;
      result = result.Mid(0, static_cast<int32_t>(len));
      continue;
    }
    uint32_t len = result.Length();
    if (len > 0 && !IsPathSeparator(result[len - 1])) result += separator;
    result += part;
    if (trailing) result += separator;
  }
  return result;
}

TString MakeModulePath(const TString& folder, const char16_t* name, const char16_t* extension) {
  TString path = JoinPath(folder, name);
  if (extension && *extension) {
    path += u'.';
    path += extension;
  }
  return path;
}

TString ProgramFolder() {
  std::string folder = ExecutableFolder();
  return folder.empty() ? TString(u".") : Utf16(folder);
}

TString CurrentDirectory() {
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof buffer)) return u".";
  return WideFromNarrow(buffer);
}

}  // namespace vk2::gui
