#include "oru/gui/dialogs/file_patterns.h"

#include <string>
#include <string_view>

namespace vk2 {

std::vector<TString> SplitPatterns(const TString& patterns) {
  std::vector<TString> parts;
  const std::u16string_view all = patterns.view();
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(u';', start);
    if (end == std::u16string_view::npos) end = all.size();
    std::u16string_view part = all.substr(start, end - start);
    while (!part.empty() && part.front() == u' ')
      part.remove_prefix(1);
    while (!part.empty() && part.back() == u' ')
      part.remove_suffix(1);
    if (!part.empty()) parts.emplace_back(part);
    start = end + 1;
  }
  return parts;
}

NarrowString CaseBlindGlob(const TString& pattern) {
  const NarrowString narrow = Utf8(pattern);
  std::string glob;
  bool inClass = false;  // letters inside [...] are left as the pattern wrote them
  for (char c : std::string_view(narrow.c_str(), narrow.Length())) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (c == '[') inClass = true;
    if (c == ']') inClass = false;
    if (!letter || inClass) {
      glob += c;
      continue;
    }
    const char lower = static_cast<char>(c | 0x20);
    glob += '[';
    glob += lower;
    glob += static_cast<char>(lower & ~0x20);
    glob += ']';
  }
  return NarrowString(glob.c_str());
}

}  // namespace vk2
