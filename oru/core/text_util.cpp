#include "oru/core/text_util.h"

#include "foundation/util/guid_text.h"

namespace vk2::oru {
namespace {

char FoldChar(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
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
  for (char& c : out)
    c = FoldChar(c);
  return out;
}

std::string_view Trim(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
    t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
    t.remove_suffix(1);
  return t;
}

std::string FormatGuid(const Guid& id) {
  NarrowString text = FormatGuidTextNarrow(id);
  return std::string(text.c_str(), text.Length());
}

bool ParseGuid(std::string_view text, Guid* id) {
  return ParseGuidText(text, id);
}

}  // namespace vk2::oru
