#include "oru/graphics/fonts/font_description_text.h"

#include <algorithm>

#include "foundation/text/ascii_case.h"

namespace vk2::oru {
namespace {

constexpr int32_t kMaxPoints = 500;

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

bool Is(std::u16string_view word, std::string_view ascii) {
  return word.size() == ascii.size() &&
         std::equal(word.begin(), word.end(), ascii.begin(),
                    [](char16_t a, char b) { return FoldAscii(a) == static_cast<char16_t>(b); });
}

bool ParseSize(std::u16string_view text, int32_t* out) {
  if (text.empty() || text.size() > 3) return false;
  int32_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + (c - u'0');
  }
  if (value < 1 || value > kMaxPoints) return false;
  *out = value;
  return true;
}

bool ApplyStyleWord(std::u16string_view word, uint32_t* style) {
  if (Is(word, "light")) {
    *style = (*style & ~kFontWeightMask) | 0;
  } else if (Is(word, "normal")) {
    *style = (*style & ~kFontWeightMask) | 1;
  } else if (Is(word, "bold")) {
    *style = (*style & ~kFontWeightMask) | 2;
  } else if (Is(word, "fixed")) {
    *style |= kFontFixedPitch;
  } else if (Is(word, "proportional")) {
    *style &= ~kFontFixedPitch;
  } else if (Is(word, "serif")) {
    *style |= kFontSerif;
  } else if (Is(word, "italic")) {
    *style |= kFontItalic;
  } else if (Is(word, "underline")) {
    *style |= kFontUnderline;
  } else {
    return false;
  }
  return true;
}

bool ParseStyle(std::u16string_view text, uint32_t* style) {
  uint32_t value = 1;
  bool any = false;
  while (true) {
    text = Trim(text);
    if (text.empty()) break;
    const size_t end = std::min(text.find(u' '), text.size());
    if (!ApplyStyleWord(text.substr(0, end), &value)) return false;
    any = true;
    text.remove_prefix(end);
  }
  if (!any) return false;
  *style = value;
  return true;
}

bool ParseBool(std::u16string_view text, bool* out) {
  if (Is(text, "yes") || Is(text, "true") || Is(text, "1")) {
    *out = true;
  } else if (Is(text, "no") || Is(text, "false") || Is(text, "0")) {
    *out = false;
  } else {
    return false;
  }
  return true;
}

}  // namespace

FontDescription ParsedFontDescription::Description() const {
  FontDescription d;
  d.kind = kFontFace;
  d.face = face.c_str();
  d.size = size;
  d.style = style;
  d.smoothed = smoothed;
  return d;
}

bool ParseFontDescription(std::u16string_view text, ParsedFontDescription* out) {
  if (!out) return false;
  ParsedFontDescription result;
  unsigned seen = 0;
  while (!text.empty()) {
    const size_t end = std::min(text.find(u';'), text.size());
    const std::u16string_view item = Trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (item.empty()) continue;
    const size_t eq = item.find(u'=');
    if (eq == std::u16string_view::npos) return false;
    const std::u16string_view key = Trim(item.substr(0, eq));
    const std::u16string_view value = Trim(item.substr(eq + 1));
    unsigned bit = 0;
    bool ok = false;
    if (Is(key, "face")) {
      bit = 1;
      ok = !value.empty() && value.size() <= 256;
      result.face.assign(value);
    } else if (Is(key, "size")) {
      bit = 2;
      ok = ParseSize(value, &result.size);
    } else if (Is(key, "style")) {
      bit = 4;
      ok = ParseStyle(value, &result.style);
    } else if (Is(key, "smoothed")) {
      bit = 8;
      ok = ParseBool(value, &result.smoothed);
    }
    if (!ok || (seen & bit)) return false;
    seen |= bit;
  }
  if (!(seen & 1)) return false;  // a face is required
  *out = std::move(result);
  return true;
}

}  // namespace vk2::oru
