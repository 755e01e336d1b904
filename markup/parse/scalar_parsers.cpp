#include "markup/parse/scalar_parsers.h"

#include <string>

#include "foundation/text/number_parse.h"
#include "foundation/text/tstring.h"

namespace vk2::markup {
namespace {

// The foundation readers want a terminated text.
std::u16string Terminated(std::u16string_view text) {
  return std::u16string(text);
}

}  // namespace

bool IsMarkupBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

size_t SkipNumberSeparators(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsMarkupBlank(text[i]))
    ++i;
  while (i < text.size() && text[i] == u',')
    ++i;
  return i;
}

int32_t ParseMarkupNumber(std::u16string_view text, double* out) {
  size_t skip = SkipNumberSeparators(text);
  std::u16string rest = Terminated(text.substr(skip));
  // A blank after the commas is no number: the readers below would skip it.
  if (rest.empty() || IsMarkupBlank(rest[0])) return 0;
  double value = 0;
  int32_t used = ParseNumberText(rest.c_str(), &value);
  if (used <= 0) return 0;
  if (out) *out = value;
  return static_cast<int32_t>(skip) + used;
}

int32_t ParseUnsignedMarkup(std::u16string_view text, uint32_t* out) {
  size_t skip = SkipNumberSeparators(text);
  std::u16string rest = Terminated(text.substr(skip));
  if (rest.empty() || IsMarkupBlank(rest[0]) || rest[0] == u'-' || rest[0] == u'+') return 0;
  uint32_t value = 0;
  int32_t used = ParseUnsignedText(rest.c_str(), &value);
  if (used <= 0) return 0;
  if (out) *out = value;
  return static_cast<int32_t>(skip) + used;
}

int32_t ParseIntegerMarkup(std::u16string_view text, int32_t* out) {
  if (text.empty()) return 0;
  std::u16string rest = Terminated(text);
  int32_t value = 0;
  int32_t used = 0;
  if (text.starts_with(u"0x")) {
    uint32_t bits = 0;
    used = ParseUnsignedText(rest.c_str(), &bits);
    value = static_cast<int32_t>(bits);
  } else {
    used = ParseIntegerText(rest.c_str(), &value);
  }
  if (used <= 0) return 0;
  if (out) *out = value;
  return used;
}

int32_t ParseBoolText(std::u16string_view text, bool* out) {
  if (text.empty()) return 0;
  TString owned(text);
  bool value = !(owned.Equals(u"0") || owned.Equals(u"false", false));
  if (out) *out = value;
  return static_cast<int32_t>(text.size());
}

bool IsNotBlank(std::u16string_view text) {
  for (char16_t c : text) {
    if (!IsMarkupBlank(c)) return true;
  }
  return false;
}

}  // namespace vk2::markup
