#include "core/loaders/dropped_name.h"

#include "core/files/folder_walk.h"

namespace vk2 {
namespace {

constexpr char16_t kFileScheme[] = u"file://";
constexpr int32_t kFileSchemeLength = 7;

bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsSchemeChar(char16_t c) {
  return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

bool HasWildcard(const TString& text) {
  return text.FindChar(u'*') >= 0 || text.FindChar(u'?') >= 0;
}

bool IsFileUrl(const TString& text) {
  return WideCompare(text.c_str(), kFileScheme, false, kFileSchemeLength) == 0;
}

}  // namespace

bool IsStreamUrl(const TString& text) {
  const int32_t separator = text.Find(u"://");
  if (separator <= 0 || !IsAsciiLetter(text[0])) return false;
  for (int32_t i = 0; i < separator; ++i) {
    if (!IsSchemeChar(text[i])) return false;
  }
  return !IsFileUrl(text);
}

TString FileExtension(const TString& path) {
  int32_t nameStart = 0;
  int32_t dot = -1;
  for (uint32_t i = 0; i < path.Length(); ++i) {
    if (path[i] == u'/') nameStart = static_cast<int32_t>(i) + 1, dot = -1;
    if (path[i] == u'.') dot = static_cast<int32_t>(i);
  }
  return path.Mid(dot >= 0 ? dot : nameStart);
}

bool FilterMatches(const TString& filter, const TString& extension) {
  int32_t start = 0;
  const int32_t length = static_cast<int32_t>(filter.Length());
  while (start <= length) {
    int32_t end = filter.FindChar(u';', start);
    if (end < 0) end = length;
    const TString pattern = filter.Mid(start, end - start).Trimmed();
    if (!pattern.IsEmpty() && WildcardCompare(extension.c_str(), pattern.c_str(), false) == 0) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

DroppedName SortDroppedName(const TString& text, std::span<const TString> filters,
                            const TString& baseFolder, const PathKindProbe& kindOf) {
  DroppedName name;
  if (text.IsEmpty()) return name;
  if (IsStreamUrl(text)) {
    name.kind = DroppedKind::kStream;
    name.url = text;
    return name;
  }
  TString path = IsFileUrl(text) ? text.Mid(kFileSchemeLength) : text;
  if (path.IsEmpty()) {
    name.kind = DroppedKind::kAbsent;
    return name;
  }
  if (path[0] != u'/') path = baseFolder.Concat(path);
  name.path = path;
  switch (kindOf(path)) {
    case kPathFolder:
      name.kind = DroppedKind::kFolder;
      return name;
    case kPathFile:
      break;
    default:
      name.kind = HasWildcard(path) ? DroppedKind::kPattern : DroppedKind::kAbsent;
      return name;
  }
  const TString extension = FileExtension(path);
  for (size_t i = 0; i < filters.size(); ++i) {
    if (FilterMatches(filters[i], extension)) {
      name.kind = DroppedKind::kPlaylistFile;
      name.loader = static_cast<int32_t>(i);
      return name;
    }
  }
  name.kind = DroppedKind::kMediaFile;
  name.url = TString(kFileScheme).Concat(path);
  return name;
}

}  // namespace vk2
