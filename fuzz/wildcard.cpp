// Wildcard matcher against a plain dynamic-programming matcher of the same rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/text/ascii_case.h"
#include "foundation/text/tstring.h"

namespace {

// The rules stated plainly: "*" any run, "?" any one unit, ASCII folding, the text cut to the
// limit, and a pattern more than two units longer than the text never matches.
int Reference(const std::u16string& text, const std::u16string& pattern, bool fold, int32_t limit) {
  std::u16string t = text;
  if (limit >= 0 && static_cast<size_t>(limit) < t.size()) t.resize(static_cast<size_t>(limit));
  if (pattern.size() > t.size() + 2) return 1;
  // match[j] after row i: pattern[0, i) matches text[0, j).
  std::vector<char> row(t.size() + 1, 0), next(t.size() + 1, 0);
  row[0] = 1;
  for (char16_t p : pattern) {
    std::fill(next.begin(), next.end(), 0);
    for (size_t j = 0; j <= t.size(); ++j) {
      if (p == u'*') {
        next[j] = row[j] || (j > 0 && next[j - 1]);
      } else if (j > 0 && row[j - 1] &&
                 (p == u'?' || vk2::UnitCode(p, fold) == vk2::UnitCode(t[j - 1], fold))) {
        next[j] = 1;
      }
    }
    row.swap(next);
  }
  return row[t.size()] ? 0 : 1;
}

// Small alphabets so that matches are common; the text may hold a "*" too.
constexpr char16_t kTextUnits[] = u"aAbBc*\u00E9";
constexpr char16_t kPatternUnits[] = u"aAbB*?*c\u00E9";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const bool fold = data[0] & 1;
  const int32_t limit = (data[0] & 2) ? static_cast<int32_t>(data[1] % 16) : -1;
  std::u16string text, pattern;
  bool inPattern = false;
  for (size_t i = 2; i < size; ++i) {
    if (data[i] == 0xFF) {
      inPattern = true;
    } else if (inPattern) {
      pattern.push_back(kPatternUnits[data[i] % (std::size(kPatternUnits) - 1)]);
    } else {
      text.push_back(kTextUnits[data[i] % (std::size(kTextUnits) - 1)]);
    }
  }
  const int got = vk2::WildcardCompare(text.c_str(), pattern.c_str(), !fold, limit);
  if (got != Reference(text, pattern, fold, limit)) std::abort();
  return 0;
}
