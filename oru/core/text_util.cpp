#include "oru/core/text_util.h"

namespace vk2::oru {
namespace {

char FoldChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string ToUtf8(const char16_t* text) {
  if (!text) return {};
  NarrowString n = NarrowFromWide(text, -1);
  return std::string(n.c_str(), n.Length());
}

std::string ToUtf8(const TString& text) {
  NarrowString n = NarrowFromWide(text.c_str(), static_cast<int32_t>(text.Length()));
  return std::string(n.c_str(), n.Length());
}

TString ToWide(std::string_view utf8) {
  return WideFromNarrow(utf8.data(), static_cast<int32_t>(utf8.size()));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldChar(a[i]) != FoldChar(b[i])) return false;
  }
  return true;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = FoldChar(c);
  return out;
}

std::string FormatGuid(const Guid& id) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "{";
  auto put = [&](uint64_t v, int digits) {
    for (int i = digits - 1; i >= 0; --i) out.push_back(kHex[(v >> (4 * i)) & 15]);
  };
  put(id.data1, 8);
  out.push_back('-');
  put(id.data2, 4);
  out.push_back('-');
  put(id.data3, 4);
  out.push_back('-');
  put(id.data4[0], 2);
  put(id.data4[1], 2);
  out.push_back('-');
  for (int i = 2; i < 8; ++i) put(id.data4[i], 2);
  out.push_back('}');
  return out;
}

bool ParseGuid(std::string_view text, Guid* id) {
  if (text.size() == 38) {
    if (text.front() != '{' || text.back() != '}') return false;
    text = text.substr(1, 36);
  }
  if (text.size() != 36) return false;
  if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') return false;
  auto field = [&](size_t at, int digits, uint64_t* v) {
    *v = 0;
    for (int i = 0; i < digits; ++i) {
      int d = HexDigit(text[at + static_cast<size_t>(i)]);
      if (d < 0) return false;
      *v = *v * 16 + static_cast<uint64_t>(d);
    }
    return true;
  };
  Guid g;
  uint64_t v = 0;
  if (!field(0, 8, &v)) return false;
  g.data1 = static_cast<uint32_t>(v);
  if (!field(9, 4, &v)) return false;
  g.data2 = static_cast<uint16_t>(v);
  if (!field(14, 4, &v)) return false;
  g.data3 = static_cast<uint16_t>(v);
  if (!field(19, 2, &v)) return false;
  g.data4[0] = static_cast<uint8_t>(v);
  if (!field(21, 2, &v)) return false;
  g.data4[1] = static_cast<uint8_t>(v);
  for (int i = 0; i < 6; ++i) {
    if (!field(24 + static_cast<size_t>(2 * i), 2, &v)) return false;
    g.data4[2 + i] = static_cast<uint8_t>(v);
  }
  *id = g;
  return true;
}

}  // namespace vk2::oru
