// Conversions between the widths: narrow text is UTF-8 (invalid bytes read as Latin-1), measured
// before anything is written so that no conversion can overrun its buffer.
#include <cstring>
#include <string>

#include "foundation/text/tstring.h"
#include "foundation/text/utf.h"

namespace vk2 {
namespace {

template <class CharT>
size_t Measure(const CharT* text, int32_t maximum) {
  if (maximum < 0) return std::char_traits<CharT>::length(text);
  size_t n = 0;
  while (n < static_cast<size_t>(maximum) && text[n])
    ++n;
  return n;
}

// Converts `count` units of `text` to the target's width and replaces or appends them.
template <class To, class From, class MeasureFn, class ConvertFn>
bool AssignConverted(BasicTString<To>& target, const From* text, size_t count, bool replace,
                     MeasureFn measure, ConvertFn convert) {
  const size_t units = measure(text, count);
  const uint32_t old = replace ? 0 : target.Length();
  if (units >= UINT32_MAX - old) return false;  // Reserve refuses what the block cannot hold
  if (replace) target.Release();  // a shared buffer need not be copied before it is overwritten
  if (!target.Reserve(old + static_cast<uint32_t>(units) + 1)) return false;
  convert(text, count, target.WritableData() + old);
  return true;
}

}  // namespace

bool AssignNarrow(TString& target, const char* text, int32_t maximum, bool replace) {
  if (!text) {
    if (replace) target.Release();
    return true;
  }
  return AssignConverted(target, text, Measure(text, maximum), replace, Utf16LengthOfUtf8,
                         Utf8ToUtf16);
}

bool AssignWide(NarrowString& target, const char16_t* text, int32_t maximum, bool replace) {
  if (!text) {
    if (replace) target.Release();
    return true;
  }
  return AssignConverted(target, text, Measure(text, maximum), replace, Utf8LengthOfUtf16,
                         Utf16ToUtf8);
}

TString WideFromNarrow(const char* text, int32_t count) {
  TString s;
  AssignNarrow(s, text, count);
  return s;
}

NarrowString NarrowFromWide(const char16_t* text, int32_t count) {
  NarrowString s;
  AssignWide(s, text, count);
  return s;
}

TString FromNarrowText(const char* text) {
  return WideFromNarrow(text, -1);
}

TString FromNarrowString(const char* text, int32_t count) {
  return WideFromNarrow(text, count);
}

TString FromNarrowParts(const char* p1, const char* p2, const char* p3, const char* p4,
                        const char* p5, const char* p6, const char* p7, const char* p8) {
  TString s;
  for (const char* part : {p1, p2, p3, p4, p5, p6, p7, p8})
    AssignNarrow(s, part, -1, false);
  return s;
}

NarrowString FromWide(const TString& text) {
  NarrowString s;
  if (text.Length()) {
    AssignConverted(s, text.c_str(), text.Length(), true, Utf8LengthOfUtf16, Utf16ToUtf8);
  }
  return s;
}

NarrowString FromWideN(const char16_t* text, int32_t count) {
  return NarrowFromWide(text, count);
}

}  // namespace vk2
