#include "foundation/util/guid_text.h"

#include <cstdint>

namespace vk2 {
namespace {

constexpr size_t kBareLength = 36;  // 32 digits and 4 dashes

template <class C>
int HexDigit(C c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

template <class C>
bool ReadHex(std::basic_string_view<C> text, size_t at, size_t digits, uint32_t* value) {
  uint32_t v = 0;
  for (size_t i = 0; i < digits; ++i) {
    const int d = HexDigit(text[at + i]);
    if (d < 0) return false;
    v = v * 16 + static_cast<uint32_t>(d);
  }
  *value = v;
  return true;
}

template <class C>
bool Parse(std::basic_string_view<C> text, Guid* out) {
  if (text.size() == kBareLength + 2) {
    if (text.front() != '{' || text.back() != '}') return false;
    text = text.substr(1, kBareLength);
  }
  if (text.size() != kBareLength) return false;
  if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') return false;
  Guid g;
  uint32_t v;
  if (!ReadHex(text, 0, 8, &g.data1)) return false;
  if (!ReadHex(text, 9, 4, &v)) return false;
  g.data2 = static_cast<uint16_t>(v);
  if (!ReadHex(text, 14, 4, &v)) return false;
  g.data3 = static_cast<uint16_t>(v);
  static constexpr size_t kByteAt[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(text, kByteAt[i], 2, &v)) return false;
    g.data4[i] = static_cast<uint8_t>(v);
  }
  *out = g;
  return true;
}

// Writes the 38 characters of the braced form.
template <class C>
void Format(const Guid& g, C* out) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  size_t n = 0;
  auto put = [&](uint32_t value, int digits) {
    for (int i = digits - 1; i >= 0; --i)
      out[n++] = static_cast<C>(kDigits[(value >> (4 * i)) & 15]);
  };
  out[n++] = '{';
  put(g.data1, 8);
  out[n++] = '-';
  put(g.data2, 4);
  out[n++] = '-';
  put(g.data3, 4);
  out[n++] = '-';
  put(g.data4[0], 2);
  put(g.data4[1], 2);
  out[n++] = '-';
  for (int i = 2; i < 8; ++i)
    put(g.data4[i], 2);
  out[n++] = '}';
}

}  // namespace

bool ParseGuidText(std::u16string_view text, Guid* out) {
  return Parse(text, out);
}
bool ParseGuidText(std::string_view text, Guid* out) {
  return Parse(text, out);
}

TString FormatGuidText(const Guid& guid) {
  char16_t text[kBareLength + 2];
  Format(guid, text);
  return TString(TString::View(text, kBareLength + 2));
}

NarrowString FormatGuidTextNarrow(const Guid& guid) {
  char text[kBareLength + 2];
  Format(guid, text);
  return NarrowString(NarrowString::View(text, kBareLength + 2));
}

}  // namespace vk2
