#include "gui/script_functions/file_filters.h"

#include <algorithm>

namespace vk2::gui {
namespace {

TString Join(const std::vector<TString>& parts, const char16_t* separator) {
  TString joined;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) joined += separator;
    joined += parts[i];
  }
  return joined;
}

}  // namespace

std::vector<TString> GroupFilters(std::vector<FileType> types, const char16_t* allFormat) {
  std::vector<TString> all;
  std::vector<TString> groups;
  while (!types.empty()) {
    const FileType first = types.front();
    if (std::none_of(all.begin(), all.end(),
                     [&](const TString& p) { return p == first.pattern; })) {
      all.push_back(first.pattern);
    }
    std::vector<TString> patterns;
    for (auto it = types.begin(); it != types.end();) {
      if (!it->description.Equals(first.description, false)) {
        ++it;
        continue;
      }
      patterns.push_back(it->pattern);
      it = types.erase(it);
    }
    groups.push_back(TString::Format(u"%s (%s)", first.description, Join(patterns, u", ")));
    groups.push_back(Join(patterns, u";"));
  }
  const TString allPattern = Join(all, u";");
  std::vector<TString> filters = {TString::Format(allFormat, allPattern), allPattern};
  filters.insert(filters.end(), groups.begin(), groups.end());
  return filters;
}

std::vector<TString> SaveFilters(const std::vector<FileType>& types) {
  std::vector<TString> filters;
  for (const FileType& type : types) {
    filters.push_back(TString::Format(u"%s (%s)", type.description, type.pattern));
    filters.push_back(type.pattern);
  }
  return filters;
}

TString CompleteExtension(const TString& path, const std::vector<TString>& filters,
                          int32_t filterIndex) {
  // A '.' anywhere stops the completion, in folder names too.
  if (path.Find(u".") >= 0 || filterIndex < 0) return path;
  const size_t patternAt = static_cast<size_t>(filterIndex) * 2 + 1;
  if (patternAt >= filters.size()) return path;
  const TString& pattern = filters[patternAt];
  if (pattern.Length() < 2 || pattern[0] != u'*' || pattern[1] != u'.') return path;
  TString completed = path;
  completed += pattern.Mid(1);
  return completed;
}

}  // namespace vk2::gui
