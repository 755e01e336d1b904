// UTF-8 <-> UTF-16 converters: exact measures, and stable round trips.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/text/tstring.h"
#include "foundation/text/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  // Bytes as narrow text.
  std::u16string wide(vk2::Utf16LengthOfUtf8(bytes, size), u'\0');
  if (vk2::Utf8ToUtf16(bytes, size, wide.data()) != wide.size()) std::abort();
  if (wide.size() > size) std::abort();  // never more units than bytes
  std::string back(vk2::Utf8LengthOfUtf16(wide.data(), wide.size()), '\0');
  if (vk2::Utf16ToUtf8(wide.data(), wide.size(), back.data()) != back.size()) std::abort();
  // What we read, written as UTF-8, reads back the same.
  std::u16string again(vk2::Utf16LengthOfUtf8(back.data(), back.size()), u'\0');
  vk2::Utf8ToUtf16(back.data(), back.size(), again.data());
  if (again != wide) std::abort();

  // The same bytes as UTF-16 units: lone surrogates become U+FFFD, everything else survives.
  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  std::string narrow(vk2::Utf8LengthOfUtf16(units.data(), units.size()), '\0');
  if (vk2::Utf16ToUtf8(units.data(), units.size(), narrow.data()) != narrow.size()) std::abort();
  if (narrow.size() > units.size() * 3) std::abort();
  std::u16string decoded(vk2::Utf16LengthOfUtf8(narrow.data(), narrow.size()), u'\0');
  vk2::Utf8ToUtf16(narrow.data(), narrow.size(), decoded.data());
  if (decoded.size() != units.size()) std::abort();
  for (size_t i = 0; i < units.size(); ++i) {
    const bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
    const bool low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
    const bool paired =
        (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) ||
        (low && i > 0 && units[i - 1] >= 0xD800 && units[i - 1] <= 0xDBFF);
    const char16_t expected = ((high || low) && !paired) ? u'\uFFFD' : units[i];
    if (decoded[i] != expected) std::abort();
  }

  // Through the string API, which stops at a zero.
  const std::string terminated(bytes, size);
  const vk2::TString s = vk2::FromNarrowText(terminated.c_str());
  const vk2::NarrowString n = vk2::FromWide(s);
  if (vk2::FromNarrowText(n.c_str()) != s) std::abort();
  return 0;
}
