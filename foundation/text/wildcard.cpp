// "*" / "?" pattern matching for file names and keys.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/text/ascii_case.h"
#include "foundation/text/tstring.h"

namespace vk2 {
namespace {

size_t MeasureUpTo(const char16_t* text, size_t limit) {
  size_t n = 0;
  while (n < limit && text[n])
    ++n;
  return n;
}

// True when `segment` (no "*" in it; "?" matches any one character) matches the start of `text`.
bool SegmentMatches(const char16_t* text, const char16_t* segment, size_t length, bool fold) {
  for (size_t i = 0; i < length; ++i) {
    if (segment[i] != u'?' && UnitCode(segment[i], fold) != UnitCode(text[i], fold)) return false;
  }
  return true;
}

}  // namespace

int WildcardCompare(const char16_t* text, const char16_t* pattern, bool caseSensitive,
                    int32_t limit) {
  if (text == pattern) return 0;
  if (!text) return 1;
  if (!pattern) return -1;
  const bool fold = !caseSensitive;
  const size_t textLength = MeasureUpTo(text, limit >= 0 ? static_cast<size_t>(limit) : SIZE_MAX);
  const size_t patternLength = std::char_traits<char16_t>::length(pattern);
  // A cheap early out, by design, at the price that "a***" fails on "a".
  if (patternLength > textLength + 2) return 1;

  size_t t = 0;
  size_t p = 0;
  while (p < patternLength || t < textLength) {
    if (p == patternLength) return 1;  // text left over
    // "*" is always a wildcard, even where the text holds a "*" at the same place.
    if (pattern[p] == u'*') {
      ++p;
      if (p == patternLength) return 0;  // a final "*" takes the rest
      size_t end = p;
      while (end < patternLength && pattern[end] != u'*')
        ++end;
      const size_t segment = end - p;
      if (end < patternLength) {
        // A middle segment: its first match is never worse than a later one.
        bool found = false;
        for (; t + segment <= textLength; ++t) {
          if (SegmentMatches(text + t, pattern + p, segment, fold)) {
            found = true;
            break;
          }
        }
        if (!found) return 1;
        t += segment;
        p = end;
      } else {
        // The last segment must end the text; it may not reach back over text already matched.
        if (segment > textLength - t) return 1;
        t = textLength - segment;
      }
      continue;
    }
    if (t == textLength) return 1;  // pattern left over
    if (pattern[p] != u'?' && UnitCode(pattern[p], fold) != UnitCode(text[t], fold)) return 1;
    ++p;
    ++t;
  }
  return 0;
}

}  // namespace vk2
