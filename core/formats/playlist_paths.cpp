#include "core/formats/playlist_paths.h"

#include <string>
#include <string_view>
#include <vector>

namespace vk2 {
namespace {

bool IsSeparator(char16_t c) {
  return c == u'/' || c == u'\\';
}

constexpr int32_t kFileSchemeLength = 7;  // "file://"

}  // namespace

TString PlaylistFolder(const TString& playlistName) {
  const std::u16string_view name = playlistName.view();
  const size_t slash = name.rfind(u'/');
  if (slash == std::u16string_view::npos) return TString();
  return TString(name.substr(0, slash + 1));
}

bool IsFileUrl(const TString& url) {
  return url.Length() >= kFileSchemeLength &&
         WideCompare(url.c_str(), u"file://", false, kFileSchemeLength) == 0;
}

bool HasScheme(const TString& entry) {
  return entry.Find(u"://") >= 0;
}

TString ResolveEntryPath(const TString& folder, const TString& entry) {
  const std::u16string_view e = entry.view();
  if ((!e.empty() && IsSeparator(e[0])) || (e.size() >= 2 && e[1] == u':')) return entry;
  const std::u16string_view f = folder.view();
  const bool absolute = !f.empty() && f[0] == u'/';
  std::vector<std::u16string_view> parts;
  auto split = [&parts, absolute](std::u16string_view text, bool bothSeparators) {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = start;
      while (end < text.size() && !(bothSeparators ? IsSeparator(text[end]) : text[end] == u'/'))
        ++end;
      const std::u16string_view part = text.substr(start, end - start);
      start = end + 1;
      if (part.empty() || part == u".") continue;
      if (part == u"..") {
        if (!parts.empty() && parts.back() != u"..") {
          parts.pop_back();
        } else if (!absolute) {
          parts.push_back(part);  // a relative result keeps the steps it cannot take
        }
        continue;
      }
      parts.push_back(part);
    }
  };
  split(f, false);
  split(e, true);
  std::u16string result = absolute ? u"/" : u"";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) result += u'/';
    result += parts[i];
  }
  return TString(std::u16string_view(result));
}

TString EntryToUrl(const TString& folder, const TString& entry) {
  if (HasScheme(entry)) return entry;
  return TString(u"file://").Concat(ResolveEntryPath(folder, entry));
}

TString RelativePath(const TString& folder, const TString& path) {
  std::u16string_view f = folder.view();
  const std::u16string_view p = path.view();
  if (f.empty()) return path;
  uint32_t ups = 0;
  // Sharing only the root is sharing nothing: such a path (another disk, as it were) is kept
  // whole rather than climbed to through the root.
  while (!f.empty() && f != u"/") {
    if (p.substr(0, f.size()) == f) {
      std::u16string result;
      for (uint32_t i = 0; i < ups; ++i)
        result += u"../";
      std::u16string_view rest = p.substr(f.size());
      if (ups == 0 && !rest.empty() && rest[0] == u'/') rest.remove_prefix(1);
      result += rest;
      return TString(std::u16string_view(result));
    }
    // One level up: cut F to just after its previous separator.
    std::u16string_view shorter = f.substr(0, f.size() - 1);
    const size_t slash = shorter.rfind(u'/');
    f = slash == std::u16string_view::npos ? std::u16string_view() : f.substr(0, slash + 1);
    ++ups;
  }
  return path;
}

TString UrlToEntry(const TString& folder, const TString& url, bool relative) {
  if (!IsFileUrl(url)) return url;
  const TString path = url.Mid(kFileSchemeLength);
  return relative ? RelativePath(folder, path) : path;
}

}  // namespace vk2
