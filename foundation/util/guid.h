// 16-byte identifiers naming classes, interfaces and categories.
#pragma once

#include <cstdint>

namespace vk2 {

struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};

// Compared as the 32-bit field, the two 16-bit fields and the eight bytes.
constexpr bool GuidEquals(const Guid& a, const Guid& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.data4[i] != b.data4[i]) return false;
  }
  return true;
}
constexpr bool operator==(const Guid& a, const Guid& b) { return GuidEquals(a, b); }

namespace guid_detail {
constexpr uint32_t HexValue(char c) {
  return c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
         : c >= 'a' && c <= 'f' ? static_cast<uint32_t>(c - 'a' + 10)
         : c >= 'A' && c <= 'F' ? static_cast<uint32_t>(c - 'A' + 10)
                                : throw "not a hexadecimal digit";
}
constexpr uint32_t HexField(const char* s, int digits) {
  uint32_t v = 0;
  for (int i = 0; i < digits; ++i) v = v * 16 + HexValue(s[i]);
  return v;
}
}  // namespace guid_detail

// Compile-time identifier from registry text without braces:
// "F316B898-717E-451E-8518-79714110B00F".
consteval Guid MakeGuid(const char (&text)[37]) {
  using guid_detail::HexField;
  if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') throw "bad guid";
  Guid g;
  g.data1 = HexField(text, 8);
  g.data2 = static_cast<uint16_t>(HexField(text + 9, 4));
  g.data3 = static_cast<uint16_t>(HexField(text + 14, 4));
  g.data4[0] = static_cast<uint8_t>(HexField(text + 19, 2));
  g.data4[1] = static_cast<uint8_t>(HexField(text + 21, 2));
  for (int i = 0; i < 6; ++i) g.data4[2 + i] = static_cast<uint8_t>(HexField(text + 24 + 2 * i, 2));
  return g;
}

}  // namespace vk2
